#pragma once
// Wires a click sink into a web view's content manager: the sink's user script in every frame and
// its script message handler, in the sink's own script world.

#include <webkit2/webkit2.h>

#include "browser/browser_click_sink.h"

namespace qrv {

// The sink must outlive the connection: detach before it goes.
void AttachClickSink(WebKitUserContentManager* manager, const BrowserClickSink& sink);
void DetachClickSink(WebKitUserContentManager* manager, const BrowserClickSink& sink);

}  // namespace qrv
