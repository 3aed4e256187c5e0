#include "browser/browser_click_sink.h"

#include "net/web_context.h"
#include "platform/debug_sink.h"

namespace qrv {
namespace {

constexpr char kWorld[] = "qrv-click-sink";
constexpr char kHandler[] = "qrvLinkClicked";

constexpr char kScript[] = R"JS((function () {
  'use strict';
  var handlers = window.webkit && window.webkit.messageHandlers;
  var sink = handlers && handlers.qrvLinkClicked;
  if (!sink) return;
  window.addEventListener('click', function (event) {
    var node = event.target;
    // A click on text reports the element holding it.
    if (node && node.nodeType !== 1) node = node.parentElement;
    for (; node; node = node.parentElement) {
      var tag = node.tagName;
      if (tag === 'a' || tag === 'A') {
        var href = node.getAttribute('href');
        if (href !== null) sink.postMessage(String(href));
        return;
      }
    }
  }, true);
})();
)JS";

}  // namespace

BrowserClickSink::BrowserClickSink(WebContext& context) : web_client_(context) {
  web_client_.SetHost(context.deploy().site);
}

const char* BrowserClickSink::ScriptSource() { return kScript; }
const char* BrowserClickSink::ScriptWorld() { return kWorld; }
const char* BrowserClickSink::MessageHandler() { return kHandler; }

void BrowserClickSink::ReportClick(const std::string& href) const {
  OutputDebugString("单击事件:" + href + "\r\n");
}

}  // namespace qrv
