#include "tools/check_dlg.h"

#include <gio/gio.h>

#include "platform/messages.h"
#include "ui/resources/skin_archive.h"

namespace qrv {
namespace {

constexpr const char* kResourcePrefix = "/com/zelto/qrv/exit_dialog/";

// The dialog's pictures live inside the program; they are handed to the toolkit under names of
// their own so that no skin can replace them.
void RegisterPictures() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  for (const char* name : {"background", "ok_normal", "ok_pressed", "cancel_normal", "cancel_pressed",
                           "close_normal", "close_pressed"}) {
    const std::string path = std::string(kResourcePrefix) + name + ".png";
    g_autoptr(GBytes) bytes = g_resources_lookup_data(path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    if (bytes == nullptr) continue;
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    ui::SkinResources::AddFile(std::string("qrv_exit_") + name + ".png", std::string(data, size));
  }
}

constexpr const char* kLayout = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="303,156">
  <Container bkimage="qrv_exit_background.png">
    <Button name="bnclose" float="true" pos="277,5,0,0" width="20" height="20"
            normalimage="qrv_exit_close_normal.png" hotimage="qrv_exit_close_normal.png"
            pushedimage="qrv_exit_close_pressed.png"/>
    <Button name="bnok" float="true" pos="76,120,0,0" width="65" height="23"
            normalimage="qrv_exit_ok_normal.png" hotimage="qrv_exit_ok_normal.png"
            pushedimage="qrv_exit_ok_pressed.png"/>
    <Button name="bncancel" float="true" pos="162,120,0,0" width="65" height="23"
            normalimage="qrv_exit_cancel_normal.png" hotimage="qrv_exit_cancel_normal.png"
            pushedimage="qrv_exit_cancel_pressed.png"/>
  </Container>
</Window>)";

}  // namespace

// The dialog lives in its caller's scope for one question.
CCheckDlg::CCheckDlg() : CSkinnedWindow(kLayout, Lifetime::kOwnedByCreator) {}

int CCheckDlg::DoModal(HWND owner) {
  RegisterPictures();
  if (Create(owner, "退出提示", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, kWidth, kHeight) == nullptr) {
    return IDCANCEL;
  }
  CenterWindow();
  const int result = ShowModal();
  // A dialog ended by other means (its owner went away) counts as "no".
  return result == IDOK ? IDOK : IDCANCEL;
}

LRESULT CCheckDlg::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // A press anywhere but on a button drags the dialog, as a caption would.
      CControlUI* under = pm_.FindControl(PointFromLparam(lparam));
      if (under == nullptr || under->GetClass() != "ButtonUI") {
        WindowSystem::Get().BeginMoveDrag(hwnd_);
        handled = true;
      }
      return 0;
    }
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE || wparam == VK_RETURN) {
        Close(wparam == VK_RETURN ? IDOK : IDCANCEL);
        handled = true;
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        Close(IDCANCEL);
        handled = true;
      }
      return 0;
    default:
      return 0;
  }
}

void CCheckDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnok") Close(IDOK);
  else if (name == "bncancel" || name == "bnclose") Close(IDCANCEL);
}

}  // namespace qrv
