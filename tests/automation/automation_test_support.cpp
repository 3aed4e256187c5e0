#include "automation_test_support.h"

namespace qrv::testing {

const char kPanelLayout[] = R"(<Window size="300,200">
  <VerticalLayout>
    <HorizontalLayout height="30">
      <Label name="title" text="玄岚城"/><Button name="bnclose" width="30" text="X"/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Option name="op1" group="g" selected="true" text="一"/><Option name="op2" group="g" text="二"/>
      <Button name="bnoff" text="off" enabled="false"/><Button name="bnhidden" text="hidden" visible="false"/>
    </HorizontalLayout>
    <Edit name="edusername" height="30" text="玩家"/>
    <TabLayout name="tabs" height="30"><Button name="page0" text="p0"/><Button name="page1" text="p1"/></TabLayout>
    <List name="servers" height="60"><ListLabelElement name="row0" text="一区"/><ListLabelElement name="row1" text="二区"/></List>
    <Button name="login" text="登录"/>
  </VerticalLayout></Window>)";

LRESULT LayoutWindow::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CREATE) {
    pm.Init(hwnd_);
    CDialogBuilder builder;
    pm.AttachDialog(builder.Create(xml_, nullptr, &pm));
    pm.AddNotifier(this);
    return 0;
  }
  if (msg == WM_KEYDOWN) keys.push_back("down:" + std::to_string(wparam));
  if (msg == WM_KEYUP) keys.push_back("up:" + std::to_string(wparam));
  LRESULT result = 0;
  if (pm.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void LayoutWindow::Notify(TNotifyUI& msg) {
  notes.push_back(msg.sType + ":" + (msg.pSender != nullptr ? msg.pSender->GetName() : "?"));
  if (on_notify) on_notify(msg);
}

std::vector<std::string> LayoutWindow::NotesOf(const std::string& type) const {
  std::vector<std::string> matching;
  for (const auto& note : notes) {
    if (note.compare(0, type.size() + 1, type + ":") == 0) matching.push_back(note);
  }
  return matching;
}

HWND LayoutWindow::Open(const std::string& title, bool visible) {
  return Create(nullptr, title, WS_POPUP | (visible ? WS_VISIBLE : 0u), 0, 100, 100, 300, 200);
}

void AutomationTest::SetUp() {
  loop_ = &HeadlessLoop::Install();
  windows_ = &HeadlessWindows::Install();
}

void AutomationTest::TearDown() {
  for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
  MessageCore::Uninstall();
}

}  // namespace qrv::testing
