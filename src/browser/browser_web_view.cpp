#include "browser/browser_web_view.h"

#include "browser/browser_click_bridge.h"
#include "platform/debug_sink.h"
#include "platform/shell.h"

namespace qrv {
namespace {

constexpr guint kRightButton = 3;

std::string RequestUri(WebKitNavigationAction* action) {
  WebKitURIRequest* request = action != nullptr ? webkit_navigation_action_get_request(action) : nullptr;
  const char* uri = request != nullptr ? webkit_uri_request_get_uri(request) : nullptr;
  return uri != nullptr ? uri : "";
}

}  // namespace

BrowserWebView::BrowserWebView(WebKitWebContext* context, GtkContainer* host, BrowserClickSink& click_sink,
                               const PrivateAuthorities* private_authorities)
    : click_sink_(click_sink),
      content_(webkit_user_content_manager_new()),
      host_(host),
      private_authorities_(private_authorities),
      context_(context) {
  AttachClickSink(content_, click_sink_);
  g_autoptr(WebKitSettings) settings = webkit_settings_new();
  // Pop-ups only on the player's own clicks, and then to the system's browser (OnDecidePolicy).
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  web_view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context,
                                           "user-content-manager", content_, "settings", settings, nullptr));
  g_object_ref_sink(web_view_);

  g_signal_connect(web_view_, "context-menu", G_CALLBACK(&BrowserWebView::OnContextMenu), this);
  g_signal_connect(web_view_, "button-press-event", G_CALLBACK(&BrowserWebView::OnButton), this);
  g_signal_connect(web_view_, "button-release-event", G_CALLBACK(&BrowserWebView::OnButton), this);
  g_signal_connect(web_view_, "decide-policy", G_CALLBACK(&BrowserWebView::OnDecidePolicy), this);
  g_signal_connect(web_view_, "create", G_CALLBACK(&BrowserWebView::OnCreate), this);
  g_signal_connect(web_view_, "load-failed-with-tls-errors", G_CALLBACK(&BrowserWebView::OnTlsErrors), this);

  if (host_ != nullptr) {
    g_object_add_weak_pointer(G_OBJECT(host_), reinterpret_cast<gpointer*>(&host_));
    GtkWidget* widget = GTK_WIDGET(web_view_);
    // Containers that place their children by position get it at the origin and sized by
    // SetSize; the others allocate their whole area to it.
    if (GTK_IS_FIXED(host_)) {
      gtk_fixed_put(GTK_FIXED(host_), widget, 0, 0);
    } else if (GTK_IS_LAYOUT(host_)) {
      gtk_layout_put(GTK_LAYOUT(host_), widget, 0, 0);
    } else {
      gtk_widget_set_hexpand(widget, TRUE);
      gtk_widget_set_vexpand(widget, TRUE);
      gtk_container_add(host_, widget);
    }
  }
  gtk_widget_show(GTK_WIDGET(web_view_));
}

BrowserWebView::~BrowserWebView() {
  g_signal_handlers_disconnect_by_data(web_view_, this);
  DetachClickSink(content_, click_sink_);
  if (host_ != nullptr) g_object_remove_weak_pointer(G_OBJECT(host_), reinterpret_cast<gpointer*>(&host_));
  // Takes the web view out of its container and stops its page; our reference frees it.
  gtk_widget_destroy(GTK_WIDGET(web_view_));
  g_object_unref(web_view_);
  g_object_unref(content_);
}

void BrowserWebView::Load(const std::string& uri) { webkit_web_view_load_uri(web_view_, uri.c_str()); }

void BrowserWebView::SetSize(int width, int height) {
  gtk_widget_set_size_request(GTK_WIDGET(web_view_), width > 0 ? width : 0, height > 0 ? height : 0);
}

void BrowserWebView::SetVisible(bool visible) { gtk_widget_set_visible(GTK_WIDGET(web_view_), visible); }

std::string BrowserWebView::uri() const {
  const char* uri = webkit_web_view_get_uri(web_view_);
  return uri != nullptr ? uri : "";
}

gboolean BrowserWebView::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                                       gpointer self) {
  ++static_cast<BrowserWebView*>(self)->context_menus_refused_;
  return TRUE;  // handled: no menu
}

gboolean BrowserWebView::OnButton(GtkWidget*, GdkEventButton* event, gpointer) {
  // Press, double press and release of the right button stop here, before WebKit hands them to
  // the page, so the page never sees a right click and never asks for its menu.
  return event->button == kRightButton ? TRUE : FALSE;
}

gboolean BrowserWebView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                        WebKitPolicyDecisionType type, gpointer) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    // A response the view cannot show would become a download: it is not taken at all.
    if (webkit_response_policy_decision_is_mime_type_supported(WEBKIT_RESPONSE_POLICY_DECISION(decision))) {
      return FALSE;  // WebKit shows it
    }
    WebKitURIResponse* response =
        webkit_response_policy_decision_get_response(WEBKIT_RESPONSE_POLICY_DECISION(decision));
    const char* uri = response != nullptr ? webkit_uri_response_get_uri(response) : nullptr;
    OutputDebugString(std::string("*****不显示的内容已忽略*****") + (uri != nullptr ? uri : "") + "\r\n");
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;  // WebKit decides
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  OpenInSystemBrowser(RequestUri(action));
  webkit_policy_decision_ignore(decision);
  return TRUE;
}

GtkWidget* BrowserWebView::OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer) {
  // A new-window request that did not pass through the policy decision (a window opened empty
  // and filled by script has no address yet, and is simply not made).
  const std::string uri = RequestUri(action);
  if (!uri.empty() && uri != "about:blank") OpenInSystemBrowser(uri);
  return nullptr;
}

gboolean BrowserWebView::OnTlsErrors(WebKitWebView*, gchar* failing_uri, GTlsCertificate* certificate,
                                     GTlsCertificateFlags, gpointer data) {
  auto* self = static_cast<BrowserWebView*>(data);
  const std::string uri = failing_uri != nullptr ? failing_uri : "";
  // The certificate did not pass the system's store. When the deployment's own authorities vouch
  // for it, for this very host, it is accepted for that host and the page asked for again, once.
  if (self->private_authorities_ != nullptr && uri != self->retried_uri_ &&
      self->private_authorities_->Vouch(certificate, uri)) {
    self->retried_uri_ = uri;
    webkit_web_context_allow_tls_certificate_for_host(self->context_, certificate,
                                                      HostOfAddress(uri).c_str());
    webkit_web_view_load_uri(self->web_view_, uri.c_str());
    return TRUE;
  }
  OutputDebugString("*****证书无效,网页未打开*****" + uri + "\r\n");
  return FALSE;  // the engine's error page
}

}  // namespace qrv
