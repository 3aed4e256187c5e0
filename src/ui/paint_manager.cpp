#include "ui/paint_manager.h"

#include <algorithm>

#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/window_system.h"
#include "ui/controls/control.h"

namespace qrv {
namespace {

struct NameSearch {
  const std::string* name;
  std::vector<CControlUI*>* all;  // null: stop at the first
};

CControlUI* MatchName(CControlUI* control, void* data) {
  auto* search = static_cast<NameSearch*>(data);
  if (control->GetName() != *search->name) return nullptr;
  if (search->all == nullptr) return control;
  search->all->push_back(control);
  return nullptr;
}

CControlUI* AcceptAny(CControlUI* control, void*) { return control; }

bool IsInside(const CControlUI* control, const CControlUI* ancestor) {
  for (const CControlUI* c = control; c != nullptr; c = c->GetParent()) {
    if (c == ancestor) return true;
  }
  return false;
}

}  // namespace

// --- One window --------------------------------------------------------------------------------

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
  *alive_ = false;
  UnregisterManager(hwnd_, this);
  CControlUI* root = root_;
  root_ = nullptr;
  focus_ = hot_ = capture_ = nullptr;
  delete root;
  dispatch_depth_ = 0;
  FlushDelayedCleanup();
  for (const ControlTimer& timer : timers_) qrv::KillTimer(hwnd_, timer.window_id);
}

void CPaintManagerUI::Init(HWND hwnd) {
  UnregisterManager(hwnd_, this);
  hwnd_ = hwnd;
  RegisterManager(hwnd_, this);
}

RECT CPaintManagerUI::ClientRect() const {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    const RECT rc = WindowSystem::Get().ClientRect(hwnd_);
    if (rc.right > rc.left && rc.bottom > rc.top) return rc;
  }
  return RECT{0, 0, init_size_.cx, init_size_.cy};
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (root_ != nullptr && root_ != root) {
    CControlUI* old = root_;
    root_ = nullptr;
    ReapObjects(old);
    DeleteControlSafely(old);
  }
  root_ = root;
  if (root_ == nullptr) return false;
  root_->SetManager(this, nullptr, true);
  layout_needed_ = true;
  UpdateLayout();
  Invalidate();
  // "windowinit" waits until the window's creation step has finished (it registers its
  // notifier after attaching the tree), so it travels as a posted message.
  if (!init_sent_ && !init_posted_ && hwnd_ != nullptr) init_posted_ = PostMessage(hwnd_, kMsgToolkitInit);
  return true;
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  init_size_ = {cx, cy};
  // Top-level windows take the layout's size; a child window is placed and sized by its parent
  // (tab pages of the main frame fill the work area whatever their layout says).
  if (hwnd_ != nullptr && IsWindow(hwnd_) && cx > 0 && cy > 0 &&
      (WindowSystem::Get().Style(hwnd_) & WS_CHILD) == 0) {
    WindowSystem::Get().SetPos(hwnd_, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CPaintManagerUI::SetRoundCorner(int cx, int cy) {
  round_corner_ = {cx, cy};
  if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().SetRoundCorners(hwnd_, cx, cy);
}

void CPaintManagerUI::AddFont(int id, const std::string& family, int size, bool bold, bool underline,
                              bool italic) {
  fonts_.Add(id,
             ui::FontInfo{family.empty() ? ui::kDefaultFontFamily : family, size, bold, underline, italic});
  NeedUpdate();
}

void CPaintManagerUI::SetDefaultFont(const std::string& family, int size, bool bold, bool underline,
                                     bool italic) {
  fonts_.SetDefault(
      ui::FontInfo{family.empty() ? ui::kDefaultFontFamily : family, size, bold, underline, italic});
  NeedUpdate();
}

void CPaintManagerUI::AddDefaultAttributeList(const std::string& control_name, const std::string& list) {
  default_attributes_[control_name] = list;
}

std::string CPaintManagerUI::GetDefaultAttributeList(const std::string& control_name) const {
  auto it = default_attributes_.find(control_name);
  return it == default_attributes_.end() ? std::string() : it->second;
}

// --- Notifications -----------------------------------------------------------------------------

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (notifier == nullptr || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end())
    return false;
  notifiers_.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

std::uint64_t CPaintManagerUI::Now() const {
  LoopBackend* backend = MessageCore::Backend();
  return backend != nullptr ? static_cast<std::uint64_t>(backend->NowMs()) : 0;
}

void CPaintManagerUI::SendNotify(CControlUI* control, const std::string& type, WPARAM wparam, LPARAM lparam) {
  TNotifyUI msg;
  msg.sType = type;
  msg.pSender = control;
  msg.wParam = wparam;
  msg.lParam = lparam;
  SendNotify(msg);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg) {
  msg.ptMouse = mouse_pos_;
  msg.dwTimestamp = Now();
  const std::weak_ptr<bool> alive = alive_;
  ++dispatch_depth_;
  if (msg.pSender != nullptr && !msg.pSender->OnNotify(&msg)) {
    if (!alive.expired()) --dispatch_depth_;
    return;
  }
  // A notifier may remove notifiers (or close the window): walk a copy and skip the removed.
  const std::vector<INotifyUI*> notifiers = notifiers_;
  for (INotifyUI* notifier : notifiers) {
    if (alive.expired()) return;
    if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) continue;
    notifier->Notify(msg);
  }
  if (alive.expired()) return;
  --dispatch_depth_;
  if (dispatch_depth_ == 0) FlushDelayedCleanup();
}

// --- Controls ----------------------------------------------------------------------------------

CControlUI* CPaintManagerUI::FindControl(const std::string& name) const {
  return FindSubControlByName(root_, name);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const std::string& name) const {
  if (parent == nullptr || name.empty()) return nullptr;
  NameSearch search{&name, nullptr};
  return parent->FindControl(MatchName, &search, UIFIND_ALL | UIFIND_ME_FIRST);
}

std::vector<CControlUI*> CPaintManagerUI::FindControls(const std::string& name) const {
  std::vector<CControlUI*> all;
  if (root_ == nullptr) return all;
  NameSearch search{&name, &all};
  root_->FindControl(MatchName, &search, UIFIND_ALL | UIFIND_ME_FIRST);
  return all;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) {
  if (root_ == nullptr) return nullptr;
  UpdateLayout();
  return root_->FindControl(AcceptAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
  if (control == nullptr) return;
  ForgetInputState(control);
  // Drop the timers of the subtree; their window timers stop with them.
  std::erase_if(timers_, [&](const ControlTimer& timer) {
    if (!IsInside(timer.control, control)) return false;
    if (hwnd_ != nullptr) qrv::KillTimer(hwnd_, timer.window_id);
    return true;
  });
}

void CPaintManagerUI::ForgetInputState(CControlUI* control) {
  if (control == nullptr) return;
  if (hot_ != nullptr && IsInside(hot_, control)) hot_ = nullptr;
  if (capture_ != nullptr && IsInside(capture_, control)) {
    capture_ = nullptr;
    if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().ReleaseCapture();
  }
  if (focus_ != nullptr && IsInside(focus_, control)) {
    // No killfocus to a control on its way out; only the input method is told to stop.
    focus_ = nullptr;
    if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().SetTextInput(hwnd_, false, false, RECT{});
  }
}

void CPaintManagerUI::DeleteControlSafely(CControlUI* control) {
  if (control == nullptr) return;
  if (dispatch_depth_ > 0)
    delayed_cleanup_.push_back(control);
  else
    delete control;
}

void CPaintManagerUI::FlushDelayedCleanup() {
  while (!delayed_cleanup_.empty()) {
    std::vector<CControlUI*> batch;
    batch.swap(delayed_cleanup_);
    for (CControlUI* control : batch) delete control;
  }
}

// --- Timers ------------------------------------------------------------------------------------

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse_ms) {
  if (control == nullptr || hwnd_ == nullptr) return false;
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const ControlTimer& t) { return t.control == control && t.id == id; });
  std::uintptr_t window_id = 0;
  if (it != timers_.end()) {
    window_id = it->window_id;
  } else {
    window_id = next_timer_id_++;
    timers_.push_back({control, id, window_id});
  }
  return qrv::SetTimer(hwnd_, window_id, elapse_ms) != 0;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
  auto it = std::find_if(timers_.begin(), timers_.end(),
                         [&](const ControlTimer& t) { return t.control == control && t.id == id; });
  if (it == timers_.end()) return false;
  if (hwnd_ != nullptr) qrv::KillTimer(hwnd_, it->window_id);
  timers_.erase(it);
  return true;
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
  std::erase_if(timers_, [&](const ControlTimer& timer) {
    if (timer.control != control) return false;
    if (hwnd_ != nullptr) qrv::KillTimer(hwnd_, timer.window_id);
    return true;
  });
}

// --- Layout ------------------------------------------------------------------------------------

void CPaintManagerUI::NeedUpdate() {
  layout_needed_ = true;
  Invalidate();
}

void CPaintManagerUI::Invalidate() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().Invalidate(hwnd_, nullptr);
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) WindowSystem::Get().Invalidate(hwnd_, &rc);
}

void CPaintManagerUI::UpdateLayout() {
  if (root_ == nullptr) return;
  const RECT client = ClientRect();
  if (!layout_needed_ && client == last_layout_rect_) return;
  layout_needed_ = false;
  last_layout_rect_ = client;
  root_->SetPos(client, false);
}

void CPaintManagerUI::LayoutAndInit() {
  UpdateLayout();
  if (init_sent_ || root_ == nullptr) return;
  init_sent_ = true;
  SendNotify(root_, kNotifyWindowInit);
}

}  // namespace qrv
