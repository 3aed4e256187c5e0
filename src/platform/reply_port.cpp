#include "platform/reply_port.h"

#include <memory>

#include "platform/messages.h"

namespace qrv {
namespace {

// The port's only message; the reply rides as its owning payload.
constexpr UINT kMsgReply = WM_USER + 0x3F00;

}  // namespace

ReplyPort::ReplyPort() : hwnd_(RegisterWindow(this)) {}

ReplyPort::~ReplyPort() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool ReplyPort::Post(HWND port, std::function<void()> reply) {
  return PostMessage(port, kMsgReply, 0, std::make_unique<std::function<void()>>(std::move(reply)));
}

LRESULT ReplyPort::HandleMessage(UINT msg, WPARAM, LPARAM lparam) {
  if (msg != kMsgReply) return 0;
  if (auto reply = TakePayload<std::function<void()>>(lparam)) (*reply)();
  return 0;
}

}  // namespace qrv
