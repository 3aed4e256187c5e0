#pragma once
// The window and message core: window handles, sent and posted messages, window timers and the
// message loop, on top of a LoopBackend.
//
// Design. A window is any MessageTarget registered for a handle. SendMessage calls its handler at
// once; PostMessage queues the message, and MessageCore::DispatchPending delivers the queue in
// order, then fires the timers that are due (WM_TIMER, wparam = the timer id). Posting is safe
// from any thread, everything else belongs to the UI thread. A message whose window has gone by
// the time it is delivered is dropped. Messages that hand a heap block to the receiver carry it as
// an owning payload: the receiver takes it with TakePayload, and a payload nobody took (the window
// had gone, the message was refused, the queue was discarded at quit) is freed by the core.
// WM_QUIT ends RunMessageLoop with the code it carries.

#include <cstdint>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

#include "platform/loop_backend.h"
#include "platform/types.h"

namespace qrv {

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) = 0;
};

// Type-erased owner of a posted block.
class MessagePayload {
 public:
  virtual ~MessagePayload() = default;
  virtual void* Address() const = 0;
  virtual std::type_index Type() const = 0;
};

template <class T>
class TypedPayload final : public MessagePayload {
 public:
  explicit TypedPayload(std::unique_ptr<T> value) : value_(std::move(value)) {}
  void* Address() const override { return value_.get(); }
  std::type_index Type() const override { return typeid(T); }
  std::unique_ptr<T> Release() { return std::move(value_); }

 private:
  std::unique_ptr<T> value_;
};

namespace detail {
bool PostOwned(HWND hwnd, UINT msg, WPARAM wparam, std::unique_ptr<MessagePayload> payload);
MessagePayload* PayloadInDelivery(LPARAM lparam, std::type_index type);
}  // namespace detail

// --- Windows -------------------------------------------------------------------------------
HWND RegisterWindow(MessageTarget* target);
// Sends WM_DESTROY and WM_NCDESTROY, then forgets the handle and its timers. The target may
// delete itself while handling WM_NCDESTROY.
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
MessageTarget* TargetOf(HWND hwnd);
// Every live window, oldest first.
std::vector<HWND> AllWindows();

// --- Messages ------------------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);
bool PostMessage(HWND hwnd, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);

// Posts a message whose lparam is the address of `block`, handing the block to the receiver.
template <class T>
bool PostMessage(HWND hwnd, UINT msg, WPARAM wparam, std::unique_ptr<T> block) {
  return detail::PostOwned(hwnd, msg, wparam, std::make_unique<TypedPayload<T>>(std::move(block)));
}

// In the handler of a message posted with a block: takes ownership of it. Returns null when
// `lparam` is not the block of the message being delivered or is of another type.
template <class T>
std::unique_ptr<T> TakePayload(LPARAM lparam) {
  auto* payload = detail::PayloadInDelivery(lparam, typeid(T));
  if (payload == nullptr) return nullptr;
  return static_cast<TypedPayload<T>*>(payload)->Release();
}

void PostQuitMessage(int exit_code);

// --- Timers --------------------------------------------------------------------------------
// Starts or replaces timer `id` of the window: WM_TIMER every `interval_ms`. Returns `id`, or 0
// when the window does not exist.
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, unsigned interval_ms);
bool KillTimer(HWND hwnd, std::uintptr_t id);

// --- The loop ------------------------------------------------------------------------------
// Runs the back end's loop until WM_QUIT and returns its exit code.
int RunMessageLoop();

class MessageCore {
 public:
  // Installs the back end. Windows, queued messages and timers of a previous back end are
  // discarded (their payloads freed).
  static void Install(std::unique_ptr<LoopBackend> backend);
  static void Uninstall();
  static LoopBackend* Backend();

  // Delivers every message posted so far, then every timer due by the back end's clock. Returns
  // whether anything was delivered. Called by the back end on the UI thread.
  static bool DispatchPending();

  // Time of the earliest timer, or -1.
  static std::int64_t NextTimerDue();

  static bool QuitRequested();
  static int QuitCode();
  // Number of windows alive; tests use it to prove windows were destroyed.
  static std::size_t WindowCount();
};

}  // namespace qrv
