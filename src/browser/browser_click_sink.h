#pragma once
// The click sink of a browser view: it reports the address of every link the player clicks, in
// every document and frame the view loads, as a debug line "单击事件:<href>\r\n".
//
// A user script runs at the start of every document in every frame, in a script world of its
// own (the page cannot see it, call it or change the functions it uses). It listens for clicks
// on the window in the capture phase, so a page that stops the event's propagation still has its
// links reported, walks from the clicked element up through its parents to the first element
// whose tag is "a" or "A", and posts that element's href attribute through a script message
// handler. The attribute is reported as written in the page ("/x", "#top", "javascript:..."),
// not resolved against the document's address: the line names what the page's author wrote.
// An anchor without an href ends the walk with no report, as does a click outside any link.
// The click itself is not touched and takes its normal course in the page.

#include <string>

#include "net/web_client.h"

namespace qrv {

class WebContext;

class BrowserClickSink {
 public:
  // The sink's web client is bound to the platform's web site host, and is closed with the sink;
  // it opens no connection of its own.
  explicit BrowserClickSink(WebContext& context);
  ~BrowserClickSink() = default;
  BrowserClickSink(const BrowserClickSink&) = delete;
  BrowserClickSink& operator=(const BrowserClickSink&) = delete;

  // One clicked link: writes its line.
  void ReportClick(const std::string& href) const;

  const WebClient& web_client() const { return web_client_; }

  // The user script, and the script world and message handler names it posts through (the web
  // view wires them up: browser_click_bridge.h).
  static const char* ScriptSource();
  static const char* ScriptWorld();
  static const char* MessageHandler();

 private:

  WebClient web_client_;
};

}  // namespace qrv
