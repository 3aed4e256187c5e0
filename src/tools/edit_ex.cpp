#include "tools/edit_ex.h"

#include <glib.h>

#include <cstdio>

#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {
namespace {

// The look of a field inside the skin's plain field frames.
constexpr ARGB kTextColor = 0xFFE6ECF5;
constexpr ARGB kDisabledTextColor = 0xFF5E6B80;

std::string UpperCaseLetters(const std::string& text) {
  g_autofree gchar* upper = g_ascii_strup(text.c_str(), static_cast<gssize>(text.size()));
  return upper;
}

}  // namespace

CEditEx::CEditEx() {
  SetTextColor(kTextColor);
  SetDisabledTextColor(kDisabledTextColor);
  SetTextPadding(RECT{2, 0, 2, 0});
}

void* CEditEx::GetInterface(const std::string& name) {
  if (name == "EditEx") return this;
  return CEditUI::GetInterface(name);
}

void CEditEx::SetText(const std::string& text) {
  const std::string upper = UpperCaseLetters(text);
  capture_.SetText(upper);
  CEditUI::SetText(upper);
}

void CEditEx::ShowCaptured() {
  CEditUI::SetText(capture_.text());
  SendNotify(kNotifyTextChanged);
}

void CEditEx::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_KEYDOWN:
      if (!IsEnabled()) return;
      capture_.KeyDown(event.chKey);
      ShowCaptured();
      return;
    case UIEVENT_KEYUP:
      if (!IsEnabled()) return;
      capture_.KeyUp(event.chKey);
      ShowCaptured();
      return;
    case UIEVENT_CHAR:
      // Typed text (and Ctrl+V, character 22) never reaches the field: the keys already made
      // its text.
      return;
    case UIEVENT_KILLFOCUS:
      capture_.ForgetHeldKeys();
      [[fallthrough]];
    case UIEVENT_SETFOCUS:
      // The plain focus change, without the edit's text input: an input method must not hold
      // keys back for a composition.
      CLabelUI::DoEvent(event);
      Invalidate();
      return;
    default:
      CEditUI::DoEvent(event);
      return;
  }
}

CEditEx* CEditEx::Place(CPaintManagerUI& pm, const std::string& name, const RECT& client_rect) {
  auto* root = dynamic_cast<CContainerUI*>(pm.GetRoot());
  if (root == nullptr) return nullptr;
  auto* field = new CEditEx();
  field->SetName(name);
  field->SetFloat(true);
  field->SetFloatPos(client_rect);
  // Added last, so it lies over the frame drawn for it.
  if (!root->Add(field)) {
    delete field;
    return nullptr;
  }
  return field;
}

bool CEditEx::RouteKey(CPaintManagerUI& pm, UINT msg, WPARAM wparam) {
  if (msg != WM_KEYDOWN && msg != WM_KEYUP && msg != WM_CHAR) return false;
  auto* field = dynamic_cast<CEditEx*>(pm.GetFocus());
  if (field == nullptr || !field->IsVisible()) return false;
  char line[64];
  std::snprintf(line, sizeof line, "------------------%u------------------\r\n", msg);
  OutputDebugString(line);
  TEventUI event;
  event.Type = msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : msg == WM_KEYUP ? UIEVENT_KEYUP : UIEVENT_CHAR;
  event.pSender = field;
  event.chKey = static_cast<std::uint32_t>(wparam);
  event.wParam = wparam;
  field->Event(event);
  return true;
}

}  // namespace qrv
