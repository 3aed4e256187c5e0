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

LRESULT CCheckDlg::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE: {
      pm_.Init(hwnd_);
      CDialogBuilder builder;
      pm_.AttachDialog(builder.Create(kLayout, nullptr, &pm_));
      pm_.AddNotifier(this);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      // A press anywhere but on a button drags the dialog, as a caption would.
      const POINT pt{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      CControlUI* under = pm_.FindControl(pt);
      if (under == nullptr || under->GetClass() != "ButtonUI") {
        WindowSystem::Get().BeginMoveDrag(hwnd_);
        return 0;
      }
      break;
    }
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) {
        Close(IDCANCEL);
        return 0;
      }
      if (wparam == VK_RETURN) {
        Close(IDOK);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        Close(IDCANCEL);
        return 0;
      }
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CCheckDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || msg.pSender == nullptr) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "bnok") Close(IDOK);
  else if (name == "bncancel" || name == "bnclose") Close(IDCANCEL);
}

}  // namespace qrv
