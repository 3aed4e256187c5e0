#pragma once
// The WebKit side of a browser view: one WebKitWebView in the view window's container, on the
// process's browser engine, with the view's click sink in its content manager.
//
// It keeps the launcher's rules for pages: no context menu (the menu request is refused and right
// button presses never reach the page), and nothing opens a window of the launcher: links with a
// target of their own, window.open and every other new-window request go to the system's browser
// (web addresses only) and the view stays on its page. A certificate error ends a load, unless
// the deployment's own authorities vouch for the certificate; a response the view cannot show is
// dropped, never saved.

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>

#include "browser/browser_click_sink.h"
#include "browser/browser_private_ca.h"
#include "browser/web_engine.h"

namespace qrv {

class BrowserWebView final : public PageView {
 public:
  // `host` receives the web view at its top-left corner. The click sink, and the private
  // authorities when given, must outlive this object.
  BrowserWebView(WebKitWebContext* context, GtkContainer* host, BrowserClickSink& click_sink,
                 const PrivateAuthorities* private_authorities = nullptr);
  ~BrowserWebView() override;
  BrowserWebView(const BrowserWebView&) = delete;
  BrowserWebView& operator=(const BrowserWebView&) = delete;

  void Load(const std::string& uri) override;
  // The size of the view window's client area, which the web view fills.
  void SetSize(int width, int height) override;
  void SetVisible(bool visible) override;

  WebKitWebView* widget() const { return web_view_; }
  // The address of the page shown (or being loaded); empty before the first load.
  std::string uri() const override;
  // Menu requests refused so far (keyboard menu key, long touch).
  int context_menus_refused() const { return context_menus_refused_; }

 private:
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*,
                                gpointer self);
  static gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer self);
  static gboolean OnTlsErrors(WebKitWebView*, gchar* failing_uri, GTlsCertificate* certificate,
                              GTlsCertificateFlags errors, gpointer self);

  BrowserClickSink& click_sink_;
  WebKitUserContentManager* content_ = nullptr;
  WebKitWebView* web_view_ = nullptr;
  GtkContainer* host_ = nullptr;  // weak: cleared if the window system destroys it first
  int context_menus_refused_ = 0;
  const PrivateAuthorities* private_authorities_;
  WebKitWebContext* context_;
  // The address last loaded again after its certificate was accepted: it is not tried a second time.
  std::string retried_uri_;
};

}  // namespace qrv
