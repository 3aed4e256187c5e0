#include "chat/char_dlg_ui.h"

#include <cstdio>

#include "chat/char_dlg.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {

CCharDlgUI::CCharDlgUI(CCharDlg& dialog)
    : CSkinnedWindow("chatdlg.xml", Lifetime::kDeletesItself), dialog_(dialog) {}

LRESULT CCharDlgUI::OnCreate() {
  face_button_ = FindControl<CButtonUI>("bnface");
  send_button_ = FindControl<CButtonUI>("bnsend");
  image_button_ = FindControl<CButtonUI>("bnimage");
  FindControl<CContainerUI>("HorizontalLayoutUI1");
  // The header names the agent this window talks to.
  if (auto* agent = FindControl<CLabelUI>("txagent")) agent->SetText(dialog_.agent().name);
  return 0;
}

void CCharDlgUI::Notify(TNotifyUI& msg) {
  if (msg.sType != kNotifyClick || msg.pSender == nullptr) return;
  if (msg.pSender == face_button_) {
    dialog_.ToggleFacePicker();
  } else if (msg.pSender == send_button_) {
    dialog_.Send();
  } else if (msg.pSender == image_button_) {
    dialog_.SavePicture();
  }
}

LRESULT CCharDlgUI::OnMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  handled = false;
  if (msg == WM_LBUTTONDOWN || msg == WM_NCLBUTTONDOWN) {
    char line[128];
    std::snprintf(line, sizeof line, "++++++++++++++++++事件输出，类型:%u，+++++++++++\r\n", msg);
    OutputDebugString(line);
  }
  return 0;
}

}  // namespace qrv
