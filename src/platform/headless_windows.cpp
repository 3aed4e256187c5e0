#include "platform/headless_windows.h"

#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

std::unique_ptr<WindowSystem>& InstalledSystem() {
  static std::unique_ptr<WindowSystem> system;
  return system;
}

}  // namespace

void WindowSystem::Install(std::unique_ptr<WindowSystem> system) { InstalledSystem() = std::move(system); }

WindowSystem& WindowSystem::Get() {
  auto& system = InstalledSystem();
  // Window code never runs without a window system; headless is the safe stand-in.
  if (!system) HeadlessWindows::Install();
  return *system;
}

bool WindowSystem::Installed() { return InstalledSystem() != nullptr; }

HeadlessWindows& HeadlessWindows::Install() {
  auto* windows = new HeadlessWindows();
  WindowSystem::Install(std::unique_ptr<WindowSystem>(windows));
  return *windows;
}

const HeadlessWindows::State* HeadlessWindows::StateOf(HWND hwnd) const {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

HeadlessWindows::State* HeadlessWindows::Find(HWND hwnd) {
  auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : &it->second;
}

void HeadlessWindows::Create(HWND hwnd, const WindowCreateParams& params) {
  State state;
  state.params = params;
  state.rect = params.rect;
  state.style = params.style & ~WS_VISIBLE;
  state.topmost = (params.ex_style & WS_EX_TOPMOST) != 0;
  windows_[hwnd] = state;
  if ((params.style & WS_VISIBLE) != 0) Show(hwnd, SW_SHOWNORMAL);
}

void HeadlessWindows::Destroy(HWND hwnd) {
  windows_.erase(hwnd);
  if (focus_ == hwnd) focus_ = nullptr;
  if (capture_ == hwnd) capture_ = nullptr;
}

void HeadlessWindows::Show(HWND hwnd, int command) {
  State* state = Find(hwnd);
  if (state == nullptr) return;
  const bool was_visible = state->visible;
  switch (command) {
    case SW_HIDE:
      state->visible = false;
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      state->visible = true;
      state->minimized = true;
      break;
    case SW_MAXIMIZE:
      state->visible = true;
      state->minimized = false;
      state->maximized = true;
      break;
    case SW_RESTORE:
      state->visible = true;
      if (state->minimized) state->minimized = false;
      else state->maximized = false;
      break;
    default:
      state->visible = true;
      state->minimized = false;
      break;
  }
  if (was_visible != state->visible) SendMessage(hwnd, WM_SHOWWINDOW, state->visible ? 1 : 0, 0);
}

bool HeadlessWindows::IsVisible(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  if (state == nullptr || !state->visible) return false;
  // A child is visible only while its parent is.
  const HWND parent = state->params.parent;
  return (state->params.style & WS_CHILD) == 0 || parent == nullptr || IsVisible(parent);
}

bool HeadlessWindows::IsMinimized(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state != nullptr && state->minimized;
}

bool HeadlessWindows::IsMaximized(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state != nullptr && state->maximized;
}

void HeadlessWindows::SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags) {
  State* state = Find(hwnd);
  if (state == nullptr) return;
  const RECT before = state->rect;
  if ((flags & SWP_NOMOVE) == 0) {
    state->rect.right = x + state->rect.Width();
    state->rect.bottom = y + state->rect.Height();
    state->rect.left = x;
    state->rect.top = y;
  }
  if ((flags & SWP_NOSIZE) == 0) {
    state->rect.right = state->rect.left + width;
    state->rect.bottom = state->rect.top + height;
  }
  if ((flags & SWP_NOZORDER) == 0) {
    if (insert_after == HWND_TOPMOST) state->topmost = true;
    else if (insert_after == HWND_NOTOPMOST) state->topmost = false;
  }
  if ((flags & SWP_SHOWWINDOW) != 0) Show(hwnd, SW_SHOW);
  if ((flags & SWP_HIDEWINDOW) != 0) Show(hwnd, SW_HIDE);
  if (before.Width() != state->rect.Width() || before.Height() != state->rect.Height()) {
    SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(static_cast<std::uint16_t>(state->rect.Width()),
                                             static_cast<std::uint16_t>(state->rect.Height())));
  }
}

RECT HeadlessWindows::WindowRect(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state == nullptr ? RECT{} : state->rect;
}

RECT HeadlessWindows::ClientRect(HWND hwnd) const {
  const RECT r = WindowRect(hwnd);
  return RECT{0, 0, r.Width(), r.Height()};
}

void HeadlessWindows::SetTitle(HWND hwnd, const std::string& title) {
  if (State* state = Find(hwnd)) state->params.title = title;
}

std::string HeadlessWindows::Title(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state == nullptr ? std::string() : state->params.title;
}

std::uint32_t HeadlessWindows::Style(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  if (state == nullptr) return 0;
  return state->style | (state->visible ? WS_VISIBLE : 0) | (state->enabled ? 0 : WS_DISABLED);
}

void HeadlessWindows::SetStyle(HWND hwnd, std::uint32_t style) {
  if (State* state = Find(hwnd)) state->style = style & ~(WS_VISIBLE | WS_DISABLED);
}

bool HeadlessWindows::IsTopmost(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state != nullptr && state->topmost;
}

HWND HeadlessWindows::Parent(HWND hwnd) const {
  const State* state = StateOf(hwnd);
  return state == nullptr ? nullptr : state->params.parent;
}

void HeadlessWindows::Enable(HWND hwnd, bool enabled) {
  if (State* state = Find(hwnd)) state->enabled = enabled;
}

void HeadlessWindows::SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) {
  if (State* state = Find(hwnd)) {
    state->layered = true;
    state->color_key = color_key_rgb;
    state->alpha = alpha;
  }
}

void HeadlessWindows::SetRoundCorners(HWND hwnd, int corner_width, int corner_height) {
  if (State* state = Find(hwnd)) {
    state->corner_width = corner_width;
    state->corner_height = corner_height;
  }
}

void HeadlessWindows::Invalidate(HWND hwnd, const RECT*) {
  if (State* state = Find(hwnd)) ++state->invalidations;
}

void HeadlessWindows::SetFocus(HWND hwnd) {
  if (focus_ == hwnd) return;
  const HWND old = focus_;
  focus_ = hwnd;
  if (old != nullptr && IsWindow(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd != nullptr) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void HeadlessWindows::SetForeground(HWND hwnd) {
  if (State* state = Find(hwnd)) state->minimized = false;
}

void HeadlessWindows::BeginMoveDrag(HWND hwnd) {
  if (Find(hwnd) != nullptr) ++move_drags_;
}

void HeadlessWindows::SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) {
  text_input_ = TextInput{hwnd, enabled, password, caret};
}

int HeadlessWindows::RunModal(HWND hwnd) {
  modal_results_.erase(hwnd);
  int result = -1;
  if (modal_responder_) result = modal_responder_(hwnd);
  auto ended = modal_results_.find(hwnd);
  if (ended != modal_results_.end()) {
    result = ended->second;
    modal_results_.erase(ended);
  }
  return result;
}

void HeadlessWindows::EndModal(HWND hwnd, int result) { modal_results_[hwnd] = result; }

int HeadlessWindows::MessageBox(HWND, const std::string& text, const std::string& caption, UINT type) {
  if (message_box_responder_) return message_box_responder_(text, caption);
  return (type & MB_YESNO) != 0 ? IDNO : IDOK;
}

}  // namespace qrv
