#include "platform/message_core.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/messages.h"

namespace qrv {
namespace {

struct PostedMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
  std::unique_ptr<MessagePayload> payload;
};

struct WindowTimer {
  std::uintptr_t window;
  std::uintptr_t id;
  unsigned interval_ms;
  std::int64_t due_ms;
  std::uint64_t order;  // keeps timers due at the same moment in the order they were set
};

struct CoreState {
  std::unique_ptr<LoopBackend> backend;

  std::mutex mutex;  // guards `windows`, `queue` and `next_window_id`
  std::unordered_map<std::uintptr_t, MessageTarget*> windows;
  std::uintptr_t next_window_id = 0x10000;
  std::deque<PostedMessage> queue;

  // UI thread only.
  std::vector<WindowTimer> timers;
  std::uint64_t next_timer_order = 0;
  std::vector<MessagePayload*> in_delivery;
  bool quit = false;
  int quit_code = 0;
};

CoreState& State() {
  static CoreState state;
  return state;
}

std::int64_t Now() {
  auto& s = State();
  return s.backend ? s.backend->NowMs() : 0;
}

void RearmWake() {
  auto& s = State();
  if (s.backend) s.backend->RequestWakeAt(MessageCore::NextTimerDue());
}

bool Enqueue(PostedMessage message) {
  auto& s = State();
  {
    std::lock_guard lock(s.mutex);
    if (message.hwnd != nullptr && !s.windows.contains(IdFromHandle(message.hwnd))) return false;
    s.queue.push_back(std::move(message));
  }
  if (s.backend) s.backend->RequestDispatch();
  return true;
}

void Deliver(PostedMessage& message) {
  auto& s = State();
  if (message.msg == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wparam));
    return;
  }
  MessageTarget* target = TargetOf(message.hwnd);
  if (target == nullptr) return;  // the window has gone; the payload is freed by the caller
  s.in_delivery.push_back(message.payload.get());
  target->HandleMessage(message.msg, message.wparam, message.lparam);
  s.in_delivery.pop_back();
}

bool FireDueTimers() {
  auto& s = State();
  const std::int64_t now = Now();
  bool fired = false;
  for (;;) {
    auto due = std::min_element(s.timers.begin(), s.timers.end(), [](const WindowTimer& a, const WindowTimer& b) {
      return a.due_ms != b.due_ms ? a.due_ms < b.due_ms : a.order < b.order;
    });
    if (due == s.timers.end() || due->due_ms > now) break;
    // Windows coalesces a late timer into one WM_TIMER; so do we.
    due->due_ms += due->interval_ms;
    if (due->due_ms <= now) due->due_ms = now + due->interval_ms;
    due->order = s.next_timer_order++;
    const HWND hwnd = HandleFromId(due->window);
    const WPARAM id = due->id;
    fired = true;
    SendMessage(hwnd, WM_TIMER, id, 0);  // may set, kill or destroy anything
  }
  return fired;
}

}  // namespace

namespace detail {

bool PostOwned(HWND hwnd, UINT msg, WPARAM wparam, std::unique_ptr<MessagePayload> payload) {
  const auto lparam = reinterpret_cast<LPARAM>(payload ? payload->Address() : nullptr);
  // On refusal the payload is destroyed with the message here.
  return Enqueue(PostedMessage{hwnd, msg, wparam, lparam, std::move(payload)});
}

MessagePayload* PayloadInDelivery(LPARAM lparam, std::type_index type) {
  auto& s = State();
  if (s.in_delivery.empty()) return nullptr;
  MessagePayload* payload = s.in_delivery.back();
  if (payload == nullptr || payload->Address() == nullptr) return nullptr;
  if (reinterpret_cast<LPARAM>(payload->Address()) != lparam || payload->Type() != type) return nullptr;
  return payload;
}

}  // namespace detail

HWND RegisterWindow(MessageTarget* target) {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  const std::uintptr_t id = s.next_window_id++;
  s.windows.emplace(id, target);
  return HandleFromId(id);
}

bool DestroyWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  SendMessage(hwnd, WM_DESTROY, 0, 0);
  auto& s = State();
  const std::uintptr_t id = IdFromHandle(hwnd);
  std::erase_if(s.timers, [&](const WindowTimer& t) { return t.window == id; });
  MessageTarget* target = TargetOf(hwnd);
  {
    std::lock_guard lock(s.mutex);
    s.windows.erase(id);
  }
  // WM_NCDESTROY is the final message: the handle is already invalid, and the target may delete
  // itself in its handler.
  if (target != nullptr) target->HandleMessage(WM_NCDESTROY, 0, 0);
  RearmWake();
  return true;
}

bool IsWindow(HWND hwnd) { return TargetOf(hwnd) != nullptr; }

MessageTarget* TargetOf(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  auto& s = State();
  std::lock_guard lock(s.mutex);
  auto it = s.windows.find(IdFromHandle(hwnd));
  return it == s.windows.end() ? nullptr : it->second;
}

std::vector<HWND> AllWindows() {
  auto& s = State();
  std::vector<std::uintptr_t> ids;
  {
    std::lock_guard lock(s.mutex);
    for (const auto& [id, target] : s.windows) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  std::vector<HWND> handles;
  for (auto id : ids) handles.push_back(HandleFromId(id));
  return handles;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  MessageTarget* target = TargetOf(hwnd);
  if (target == nullptr) return 0;
  auto& s = State();
  s.in_delivery.push_back(nullptr);  // a sent message carries no payload of the core's
  const LRESULT result = target->HandleMessage(msg, wparam, lparam);
  s.in_delivery.pop_back();
  return result;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return Enqueue(PostedMessage{hwnd, msg, wparam, lparam, nullptr});
}

void PostQuitMessage(int exit_code) {
  auto& s = State();
  s.quit = true;
  s.quit_code = exit_code;
  if (s.backend) s.backend->Quit();
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, unsigned interval_ms) {
  if (!IsWindow(hwnd)) return 0;
  auto& s = State();
  const std::uintptr_t window = IdFromHandle(hwnd);
  std::erase_if(s.timers, [&](const WindowTimer& t) { return t.window == window && t.id == id; });
  s.timers.push_back(WindowTimer{window, id, interval_ms, Now() + interval_ms, s.next_timer_order++});
  RearmWake();
  return id;
}

bool KillTimer(HWND hwnd, std::uintptr_t id) {
  auto& s = State();
  const std::uintptr_t window = IdFromHandle(hwnd);
  const auto removed = std::erase_if(s.timers, [&](const WindowTimer& t) { return t.window == window && t.id == id; });
  if (removed > 0) RearmWake();
  return removed > 0;
}

int RunMessageLoop() {
  auto& s = State();
  if (!s.backend) return -1;
  s.quit = false;
  s.backend->RequestDispatch();
  RearmWake();
  s.backend->Run();
  return s.quit_code;
}

void MessageCore::Install(std::unique_ptr<LoopBackend> backend) {
  Uninstall();
  State().backend = std::move(backend);
}

void MessageCore::Uninstall() {
  auto& s = State();
  std::deque<PostedMessage> discarded;
  {
    std::lock_guard lock(s.mutex);
    discarded.swap(s.queue);
    s.windows.clear();
  }
  s.timers.clear();
  s.quit = false;
  s.quit_code = 0;
  s.backend.reset();
}

LoopBackend* MessageCore::Backend() { return State().backend.get(); }

bool MessageCore::DispatchPending() {
  auto& s = State();
  if (s.quit) return false;
  std::deque<PostedMessage> batch;
  {
    std::lock_guard lock(s.mutex);
    batch.swap(s.queue);
  }
  bool delivered = !batch.empty();
  while (!batch.empty()) {
    if (s.quit) break;  // what follows WM_QUIT is never retrieved
    PostedMessage message = std::move(batch.front());
    batch.pop_front();
    Deliver(message);
  }
  if (!s.quit) delivered = FireDueTimers() || delivered;
  {
    std::lock_guard lock(s.mutex);
    if (!s.queue.empty() && s.backend && !s.quit) s.backend->RequestDispatch();
  }
  RearmWake();
  return delivered;
}

std::int64_t MessageCore::NextTimerDue() {
  const auto& timers = State().timers;
  std::int64_t due = -1;
  for (const auto& t : timers) {
    if (due < 0 || t.due_ms < due) due = t.due_ms;
  }
  return due;
}

bool MessageCore::QuitRequested() { return State().quit; }
int MessageCore::QuitCode() { return State().quit_code; }

std::size_t MessageCore::WindowCount() {
  auto& s = State();
  std::lock_guard lock(s.mutex);
  return s.windows.size();
}

}  // namespace qrv
