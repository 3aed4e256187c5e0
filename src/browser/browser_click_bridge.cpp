#include "browser/browser_click_bridge.h"

namespace qrv {
namespace {

void OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer sink) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  // The script posts strings only; anything else did not come from it.
  if (value == nullptr || !jsc_value_is_string(value)) return;
  g_autofree gchar* href = jsc_value_to_string(value);
  if (href != nullptr) static_cast<const BrowserClickSink*>(sink)->ReportClick(href);
}

}  // namespace

void AttachClickSink(WebKitUserContentManager* manager, const BrowserClickSink& sink) {
  const char* handler = BrowserClickSink::MessageHandler();
  const char* world = BrowserClickSink::ScriptWorld();
  // Connected before the handler is registered, so no message can arrive unheard.
  g_autofree gchar* signal = g_strdup_printf("script-message-received::%s", handler);
  g_signal_connect(manager, signal, G_CALLBACK(&OnScriptMessage), const_cast<BrowserClickSink*>(&sink));
  webkit_user_content_manager_register_script_message_handler_in_world(manager, handler, world);
  g_autoptr(WebKitUserScript) script =
      webkit_user_script_new_for_world(BrowserClickSink::ScriptSource(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, world, nullptr, nullptr);
  webkit_user_content_manager_add_script(manager, script);
}

void DetachClickSink(WebKitUserContentManager* manager, const BrowserClickSink& sink) {
  g_signal_handlers_disconnect_by_data(manager, const_cast<BrowserClickSink*>(&sink));
  webkit_user_content_manager_unregister_script_message_handler_in_world(manager, BrowserClickSink::MessageHandler(),
                                                                        BrowserClickSink::ScriptWorld());
  webkit_user_content_manager_remove_all_scripts(manager);
}

}  // namespace qrv
