#pragma once
// Where the results of work done off the UI thread come back. A reply port is a hidden window of
// the message core owned by the object that asked for the work; a worker hands it a reply, which
// runs on the UI thread when the message loop gets to it. When the owner goes, its port goes with
// it, and every reply still on its way is dropped unrun (freed where it is), so a window closed
// while its request is outstanding never gets a late call.

#include <functional>

#include "platform/message_core.h"

namespace qrv {

class ReplyPort final : public MessageTarget {
 public:
  ReplyPort();
  ~ReplyPort() override;
  ReplyPort(const ReplyPort&) = delete;
  ReplyPort& operator=(const ReplyPort&) = delete;

  // The port's handle: what a worker keeps (never the port itself, which may go at any moment).
  HWND handle() const { return hwnd_; }

  // Runs `reply` on the UI thread unless the port `port` has gone by then. Callable from any
  // thread; false when the port has gone already (the reply is then freed on the calling thread).
  static bool Post(HWND port, std::function<void()> reply);

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  HWND hwnd_;
};

}  // namespace qrv
