#include "browser/browser_click_sink.h"

#include "app/web_context.h"
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

void BrowserClickSink::Attach(WebKitUserContentManager* manager) {
  // Connected before the handler is registered, so no message can arrive unheard.
  g_autofree gchar* signal = g_strdup_printf("script-message-received::%s", kHandler);
  g_signal_connect(manager, signal, G_CALLBACK(&BrowserClickSink::OnScriptMessage), this);
  webkit_user_content_manager_register_script_message_handler_in_world(manager, kHandler, kWorld);
  g_autoptr(WebKitUserScript) script =
      webkit_user_script_new_for_world(kScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(manager, script);
}

void BrowserClickSink::Detach(WebKitUserContentManager* manager) {
  g_signal_handlers_disconnect_by_data(manager, this);
  webkit_user_content_manager_unregister_script_message_handler_in_world(manager, kHandler, kWorld);
  webkit_user_content_manager_remove_all_scripts(manager);
}

void BrowserClickSink::ReportClick(const std::string& href) const {
  OutputDebugString("单击事件:" + href + "\r\n");
}

void BrowserClickSink::OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                       gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  // The script posts strings only; anything else did not come from it.
  if (value == nullptr || !jsc_value_is_string(value)) return;
  g_autofree gchar* href = jsc_value_to_string(value);
  if (href != nullptr) static_cast<const BrowserClickSink*>(self)->ReportClick(href);
}

}  // namespace qrv
