#include "chat/rich_edit_ex.h"

#include <gtk/gtk.h>

#include "chat/rich_text_gtk.h"
#include "platform/messages.h"
#include "platform/window_system.h"

namespace qrv {

CRichEditCtrlEx::CRichEditCtrlEx()
    : number_to_code_(NumberToCodeMap()),
      code_to_file_(CodeToFileMap()),
      surface_(std::make_unique<MemoryRichText>()) {}

CRichEditCtrlEx::~CRichEditCtrlEx() = default;

HWND CRichEditCtrlEx::Create(HWND parent, const RECT& rect, int control_id) {
  control_id_ = control_id;
  return CWindowWnd::Create(parent, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, rect);
}

bool CRichEditCtrlEx::InsertAnimatedPicture(const std::string& path) {
  const int number = EmoticonNumberOfFile(path);
  const auto code = number_to_code_.find(number);
  if (!surface_->InsertPicture(path, code != number_to_code_.end() ? code->second : "")) return false;
  surface_->ScrollToEnd();
  return true;
}

void CRichEditCtrlEx::InsertText(std::string_view text, const RichTextFormat* format) {
  surface_->InsertText(text, format);
}

std::string CRichEditCtrlEx::TextWithCodes() const {
  return qrv::TextWithCodes(surface_->Text(), surface_->Pictures());
}

std::string CRichEditCtrlEx::CodeLookup(const std::string& code) const {
  const auto it = code_to_file_.find(code);
  return it == code_to_file_.end() ? "" : it->second;
}

std::vector<PictureRecord> CRichEditCtrlEx::picture_records() const { return surface_->Pictures(); }

std::string CRichEditCtrlEx::CodeOfNumber(int number) const {
  const auto it = number_to_code_.find(number);
  return it == number_to_code_.end() ? "" : it->second;
}

void CRichEditCtrlEx::SetOnCtrlEnter(std::function<void()> on_ctrl_enter) {
  on_ctrl_enter_ = std::move(on_ctrl_enter);
  if (auto* gtk = dynamic_cast<GtkRichText*>(surface_.get()))
    gtk->SetOnCtrlEnter([this] { CallCtrlEnter(); });
}

void CRichEditCtrlEx::CallCtrlEnter() {
  const auto callback = on_ctrl_enter_;  // the owner may replace it, or go, while it runs
  if (callback) callback();
}

LRESULT CRichEditCtrlEx::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      // On the GTK back end the window's native side is a container: the text view goes there.
      auto* host = static_cast<GtkWidget*>(WindowSystem::Get().NativeHandle(hwnd_));
      if (host != nullptr && GTK_IS_CONTAINER(host)) {
        const RECT client = GetClientRect(hwnd_);
        auto gtk = std::make_unique<GtkRichText>(host, client.Width(), client.Height());
        // A press in the view gives the control's window the keyboard, activating its toplevel,
        // as a click on any window does.
        gtk->SetOnPress([this] {
          if (hwnd_ != nullptr && WindowSystem::Get().Focus() != hwnd_) WindowSystem::Get().SetFocus(hwnd_);
        });
        surface_ = std::move(gtk);
        if (on_ctrl_enter_) SetOnCtrlEnter(on_ctrl_enter_);
      }
      return 0;
    }
    case WM_SIZE: {
      const RECT client = GetClientRect(hwnd_);
      surface_->Resize(client.Width(), client.Height());
      return 0;
    }
    case WM_SETFOCUS:
      surface_->TakeFocus();
      return 0;
    case WM_KILLFOCUS:
      control_down_ = false;
      return 0;
    case WM_KEYDOWN:
      // Keys reach the window itself only where no text view takes them (no display, or the
      // automation interface); modifiers arrive as keys of their own.
      if (wparam == VK_CONTROL) control_down_ = true;
      if (wparam == VK_RETURN && control_down_) CallCtrlEnter();
      return 0;
    case WM_KEYUP:
      if (wparam == VK_CONTROL) control_down_ = false;
      return 0;
    case WM_CHAR: {
      if (surface_->ReadOnly() || wparam < 0x20 || wparam == 0x7F || wparam > 0x10FFFF) return 0;
      char utf8[8] = {};
      g_unichar_to_utf8(static_cast<gunichar>(wparam), utf8);
      surface_->InsertText(utf8, nullptr);
      return 0;
    }
    case WM_GETTEXT:
      if (lparam == 0) return 0;
      *reinterpret_cast<std::string*>(lparam) = TextWithCodes();
      return 1;
    default:
      return CWindowWnd::HandleMessage(msg, wparam, lparam);
  }
}

}  // namespace qrv
