#include "chat/char_dlg.h"

#include <cairo.h>

#include <algorithm>

#include "chat/char_dlg_ui.h"
#include "chat/chat_wire.h"
#include "chat/gm_helper.h"
#include "chat/picture_file.h"
#include "platform/codepage.h"
#include "platform/loop_backend.h"
#include "platform/message_core.h"
#include "platform/messages.h"
#include "platform/wall_clock.h"

namespace qrv {
namespace {

RECT Offset(const RECT& rect, POINT by) {
  return RECT{rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y};
}

void Place(HWND hwnd, const RECT& rect) {
  if (hwnd != nullptr && IsWindow(hwnd))
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CCharDlg::CCharDlg(CGMHelper* connection, GMEntry agent, std::string program_dir, std::string saved_picture)
    : connection_(connection),
      agent_(std::move(agent)),
      program_dir_(std::move(program_dir)),
      saved_picture_(std::move(saved_picture)) {}

CCharDlg::~CCharDlg() = default;

HWND CCharDlg::Create(HWND frame, const RECT& placement) {
  placement_ = placement;
  return CWindowWnd::Create(frame, kCaption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                            placement);
}

CCharDlgUI* CCharDlg::skin() const { return skin_hwnd_ != nullptr && IsWindow(skin_hwnd_) ? skin_ : nullptr; }

HWND CCharDlg::face_picker() const {
  return picker_hwnd_ != nullptr && IsWindow(picker_hwnd_) ? picker_hwnd_ : nullptr;
}

LRESULT CCharDlg::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      Layout();
      // The skin first, then the text controls, which lie above it; Layout gives each its place.
      skin_ = new CCharDlgUI(*this);
      skin_hwnd_ =
          skin_->Create(hwnd_, "", kChildStyle, 0, origin_.x, origin_.y, kDesignWidth, kDesignHeight);
      if (skin_hwnd_ == nullptr) skin_ = nullptr;
      history_.Create(hwnd_, Offset(kHistoryRect, origin_), kHistoryId);
      input_.Create(hwnd_, Offset(kInputRect, origin_), kInputId);
      Layout();
      for (CRichEditCtrlEx* edit : {&history_, &input_}) edit->surface().SetDefaultFormat(ChatTextFormat());
      history_.surface().SetReadOnly(true);
      history_.surface().SetBackground(kHistoryBackground);
      input_.surface().SetBackground(kInputBackground);
      input_.SetOnCtrlEnter([this] { Send(); });
      if (connection_ != nullptr) connection_->SendChatStart();
      return 0;
    }
    case WM_MOVE: {
      const POINT at = PointFromLparam(lparam);
      placement_ = RECT{at.x, at.y, at.x + placement_.Width(), at.y + placement_.Height()};
      Layout();
      return 0;
    }
    case WM_SIZE:
      placement_.right = placement_.left + LOWORD(static_cast<std::uintptr_t>(lparam));
      placement_.bottom = placement_.top + HIWORD(static_cast<std::uintptr_t>(lparam));
      Layout();
      return 0;
    case WM_PAINT:
      Paint(reinterpret_cast<void*>(lparam));
      return 0;
    case WM_DESTROY:
      // The skin window and the picker go with the chat window.
      if (face_picker() != nullptr) DestroyWindow(picker_hwnd_);
      if (skin() != nullptr) DestroyWindow(skin_hwnd_);
      picker_ = nullptr;
      skin_ = nullptr;
      return 0;
    default:
      return CWindowWnd::HandleMessage(msg, wparam, lparam);
  }
}

void CCharDlg::Layout() {
  // The design is centred in the part of the window the frame shows (the window is as large as
  // the work area, the frame may be smaller); a part smaller than the design keeps the design's
  // top-left corner inside it, where the header, the history and the input fit a frame of the
  // skin's size.
  RECT visible = placement_;
  const HWND frame = hwnd_ != nullptr ? WindowSystem::Get().Parent(hwnd_) : nullptr;
  if (frame != nullptr) {
    const RECT client = GetClientRect(frame);
    if (client.Width() > 0 && client.Height() > 0) {
      visible.right = std::min(visible.right, client.right);
      visible.bottom = std::min(visible.bottom, client.bottom);
    }
  }
  origin_ = POINT{std::max(0, (visible.right - kDesignWidth) / 2),
                  std::max(0, (visible.bottom - kDesignHeight) / 2)};
  if (hwnd_ == nullptr) return;
  // The skin reaches to the shown part's edges, where its bands end.
  const int skin_width = std::max(kHistoryRect.right, visible.right - placement_.left - origin_.x);
  const int skin_height = std::max(kInputRect.bottom, visible.bottom - placement_.top - origin_.y);
  Place(skin_hwnd_, RECT{origin_.x, origin_.y, origin_.x + skin_width, origin_.y + skin_height});
  Place(history_.GetHWND(), Offset(kHistoryRect, origin_));
  Place(input_.GetHWND(), Offset(kInputRect, origin_));
}

void CCharDlg::FitToFrame() { Layout(); }

void CCharDlg::Paint(void* cairo) const {
  auto* cr = static_cast<cairo_t*>(cairo);
  if (cr == nullptr) return;
  cairo_set_source_rgb(cr, ((kBackground >> 16) & 0xFF) / 255.0, ((kBackground >> 8) & 0xFF) / 255.0,
                       (kBackground & 0xFF) / 255.0);
  cairo_paint(cr);
}

void CCharDlg::ShowMessage(std::string_view text, ChatMessageKind kind) {
  RichTextSurface& history = history_.surface();
  const RichTextFormat header_format = ChatHeaderFormat(kind);
  const int start = history.CharCount();
  history.SetCaret(start);
  history.InsertText(ChatHeaderLine(kind, agent_.name, WallClock::Get().Now()), &header_format);
  history.InsertText("\n", nullptr);
  // No picture of the clipboard is ever put here: only what was written is shown.
  for (const TextPiece& piece : SplitAtEmoticonCodes(text)) {
    if (piece.kind == TextPiece::Kind::kPicture &&
        history_.InsertAnimatedPicture(program_dir_ + kEmoticonFolder + piece.file)) {
      continue;
    }
    history.InsertText(piece.text, nullptr);  // text, or a code whose picture is missing
  }
  history.InsertText("\n\n", nullptr);
  EndHistoryEntry(start);
  history.ScrollToEnd();
}

void CCharDlg::ShowNotice(const std::string& notice) {
  RichTextSurface& history = history_.surface();
  const RichTextFormat format = ChatNoticeFormat();
  const int start = history.CharCount();
  history.SetCaret(start);
  history.InsertText(notice, &format);
  history.InsertText("\n\n", nullptr);
  EndHistoryEntry(start);
  history.ScrollToEnd();
}

void CCharDlg::EndHistoryEntry(int start) {
  RichTextSurface& history = history_.surface();
  entry_lengths_.push_back(history.CharCount() - start);
  int drop = 0;
  while (entry_lengths_.size() > kMaxHistoryEntries) {
    drop += entry_lengths_.front();
    entry_lengths_.pop_front();
  }
  if (drop == 0) return;
  history.Select(0, drop);
  history.DeleteSelection();
  history.SetCaret(history.CharCount());
}

void CCharDlg::Send() {
  std::string text = input_.TextWithCodes();
  text.resize(std::min(text.size(), text.find('\0')));
  RichTextSurface& input = input_.surface();
  const std::size_t utf8_bytes = Utf8FromSystem(text).size();
  if (utf8_bytes > chat::kMaxChatTextBytes) {
    // Refused whole, never cut: the text stays in the input for the player to shorten.
    ShowNotice(TooLongNotice(utf8_bytes));
    return;
  }
  const ChatSendResult result =
      connection_ != nullptr ? connection_->SendChatText(agent_.id, text) : ChatSendResult::kNotConnected;
  if (result != ChatSendResult::kSent) {
    // Nothing went out: the text stays in the input, untouched, to be sent again.
    ShowNotice(NotSentNotice());
    return;
  }
  ShowMessage(text, ChatMessageKind::kOwn);
  input.Select(0, -1);
  input.DeleteSelection();
}

void CCharDlg::ToggleFacePicker() {
  CCharDlgUI* skin_window = skin();
  if (skin_window == nullptr || skin_window->face_button() == nullptr) return;
  const RECT button = skin_window->face_button()->GetPos();
  const RECT skin_rect = GetWindowRect(skin_hwnd_);
  const POINT bottom_left{skin_rect.left + button.left, skin_rect.top + button.top};
  if (face_picker() == nullptr) {
    picker_ = new CFaceDlgUI(*this);
    picker_hwnd_ = picker_->Open(hwnd_, bottom_left);
    if (picker_hwnd_ == nullptr) picker_ = nullptr;
    return;
  }
  if (IsWindowVisible(picker_hwnd_)) {
    picker_->ShowWindow(false);
    return;
  }
  // The press on "bnface" took the focus from the picker, which hid: this click closes it.
  LoopBackend* backend = MessageCore::Backend();
  const std::int64_t hid = picker_->hidden_by_focus_at();
  if (backend != nullptr && hid >= 0 && backend->NowMs() - hid < kPickerReopenGuardMs) return;
  picker_->ShowAt(bottom_left);
}

void CCharDlg::InsertEmoticon(const std::string& name) {
  input_.InsertAnimatedPicture(program_dir_ + kEmoticonFolder + name + ".gif");
  HidePopups();
  if (input_.GetHWND() != nullptr) WindowSystem::Get().SetFocus(input_.GetHWND());
}

void CCharDlg::SavePicture() {
  ChoosePictureFile(hwnd_,
                    [target = saved_picture_](const std::string& file) { SavePictureAsPng(file, target); });
}

void CCharDlg::HidePopups() {
  if (face_picker() != nullptr && IsWindowVisible(picker_hwnd_)) picker_->ShowWindow(false);
}

}  // namespace qrv
