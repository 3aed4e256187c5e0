// CWindowWnd on the headless window system: creation order, registries, the caption hit test,
// closing, modal runs and placement.

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace qrv::testing {
namespace {

class WindowTest : public UiTest {};

LPARAM ScreenPoint(HWND hwnd, int x, int y) {
  const RECT rc = GetWindowRect(hwnd);
  return MAKELPARAM(static_cast<std::uint16_t>(rc.left + x), static_cast<std::uint16_t>(rc.top + y));
}

constexpr char kCaptionLayout[] =
    R"(<Window size="400,300" caption="10,0,20,36" roundcorner="8,6" sizebox="0,0,0,0">
  <VerticalLayout>
    <HorizontalLayout height="36">
      <Label name="lbtitle" width="100" text="title"/><Text name="txnickname" width="100"/>
      <Option name="opnote" width="50"/><Control/><Button name="bnclose" width="40"/>
    </HorizontalLayout>
    <Control/>
  </VerticalLayout></Window>)";

TEST_F(WindowTest, CreateBuildsBeforeShowingAndTakesTheLayoutSize) {
  struct Probe : LayoutWindow {
    using LayoutWindow::LayoutWindow;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
      if (msg == WM_CREATE) visible_at_create = IsWindowVisible(hwnd_);
      return LayoutWindow::HandleMessage(msg, w, l);
    }
    bool visible_at_create = true;
  } window(kCaptionLayout);
  const HWND hwnd = window.Create(nullptr, "标题", WS_POPUP | WS_VISIBLE, 0, 50, 60, 10, 10);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_FALSE(window.visible_at_create);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetWindowRect(hwnd), (RECT{50, 60, 450, 360}));
  EXPECT_EQ(windows_->StateOf(hwnd)->corner_width, 8);
  EXPECT_EQ(windows_->StateOf(hwnd)->corner_height, 6);
  EXPECT_EQ(CWindowWnd::FromHandle(hwnd), &window);
  EXPECT_EQ(CPaintManagerUI::ForWindow(hwnd), &window.pm);
  EXPECT_EQ(window.pm.FindControl("bnclose")->GetPos(), (RECT{360, 0, 400, 36}));
  EXPECT_EQ(WindowSystem::Get().Title(hwnd), "标题");
}

TEST_F(WindowTest, ChildWindowKeepsTheSizeItsParentGave) {
  LayoutWindow parent(R"(<Window size="800,600"><Control/></Window>)");
  const HWND parent_hwnd = parent.Open(800, 600);
  LayoutWindow page(R"(<Window size="300,200"><Control name="all"/></Window>)");
  const HWND hwnd = page.Create(parent_hwnd, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 700, 500);
  EXPECT_EQ(GetWindowRect(hwnd), (RECT{0, 80, 700, 580}));
  EXPECT_EQ(page.pm.FindControl("all")->GetPos(), (RECT{0, 0, 700, 500}));
}

TEST_F(WindowTest, CaptionBandDragsExceptOverButtonsOptionsAndTexts) {
  LayoutWindow window(kCaptionLayout);
  const HWND hwnd = window.Open(400, 300);
  auto hit = [&](int x, int y) { return SendMessage(hwnd, WM_NCHITTEST, 0, ScreenPoint(hwnd, x, y)); };
  EXPECT_EQ(hit(50, 10), HTCAPTION) << "label";
  EXPECT_EQ(hit(300, 10), HTCAPTION) << "plain control";
  EXPECT_EQ(hit(150, 10), HTCLIENT) << "text";
  EXPECT_EQ(hit(220, 10), HTCLIENT) << "option";
  EXPECT_EQ(hit(370, 10), HTCLIENT) << "button";
  EXPECT_EQ(hit(5, 10), HTCLIENT) << "left of the band's left inset";
  EXPECT_EQ(hit(385, 10), HTCLIENT) << "within the right inset";
  EXPECT_EQ(hit(50, 36), HTCLIENT) << "below the band";
  EXPECT_EQ(hit(50, 100), HTCLIENT);
  SendMessage(hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), ScreenPoint(hwnd, 50, 10));
  EXPECT_EQ(windows_->move_drags(), 1);
}

TEST_F(WindowTest, SizeBoxBordersAnswerWithTheirEdge) {
  LayoutWindow window(R"(<Window size="200,100" sizebox="4,4,4,4"><Control/></Window>)");
  const HWND hwnd = window.Open(200, 100);
  auto hit = [&](int x, int y) { return SendMessage(hwnd, WM_NCHITTEST, 0, ScreenPoint(hwnd, x, y)); };
  EXPECT_EQ(hit(1, 50), HTLEFT);
  EXPECT_EQ(hit(198, 50), HTRIGHT);
  EXPECT_EQ(hit(100, 99), HTBOTTOM);
  EXPECT_EQ(hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(hit(199, 99), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(100, 50), HTCLIENT);
  ShowWindow(hwnd, SW_MAXIMIZE);
  EXPECT_EQ(hit(1, 50), HTCLIENT) << "a maximised window does not resize";
}

TEST_F(WindowTest, CloseDestroysOnTheNextDispatchAndEndsInOnFinalMessage) {
  auto* window = new LayoutWindow(kCaptionLayout);
  window->delete_on_final = true;
  const HWND hwnd = window->Open(400, 300);
  const std::size_t before = MessageCore::WindowCount();
  window->Close();
  EXPECT_TRUE(IsWindow(hwnd));
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(MessageCore::WindowCount(), before - 1);
  EXPECT_EQ(CWindowWnd::FromHandle(hwnd), nullptr);
  EXPECT_EQ(CPaintManagerUI::ForWindow(hwnd), nullptr);
  EXPECT_EQ(windows_->StateOf(hwnd), nullptr) << "the native side is gone too";
}

TEST_F(WindowTest, SystemCommandsChangeTheWindowState) {
  LayoutWindow window(kCaptionLayout);
  const HWND hwnd = window.Open(400, 300);
  SendMessage(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WindowSystem::Get().IsMinimized(hwnd));
  SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(WindowSystem::Get().IsMinimized(hwnd));
  SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(window.final_message);
}

TEST_F(WindowTest, CreateRefusedByWmCreateLeavesNoWindow) {
  struct Refusing : LayoutWindow {
    using LayoutWindow::LayoutWindow;
    LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
      if (msg == WM_CREATE) return -1;
      return LayoutWindow::HandleMessage(msg, w, l);
    }
  } window("<Window/>");
  const std::size_t before = MessageCore::WindowCount();
  EXPECT_EQ(window.Create(nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 0, 10, 10), nullptr);
  EXPECT_EQ(MessageCore::WindowCount(), before);
  EXPECT_TRUE(window.final_message);
}

TEST_F(WindowTest, ModalRunEndsWithTheCodeGivenToClose) {
  auto* dialog = new LayoutWindow(R"(<Window size="300,150"><HorizontalLayout>
      <Button name="bnok"/><Button name="bncancel"/></HorizontalLayout></Window>)");
  dialog->delete_on_final = true;
  dialog->on_notify = [dialog](TNotifyUI& msg) {
    if (msg.sType != "click") return;
    dialog->Close(msg.pSender->GetName() == "bnok" ? IDOK : IDCANCEL);
  };
  const HWND hwnd = dialog->Create(nullptr, "退出提示", WS_POPUP, 0, 0, 0, 300, 150);
  bool shown_when_asked = false;
  windows_->SetModalResponder([&](HWND modal) {
    shown_when_asked = IsWindowVisible(modal);
    ClickControl(modal, CPaintManagerUI::ForWindow(modal)->FindControl("bncancel"));
    return -1;
  });
  EXPECT_EQ(dialog->ShowModal(), IDCANCEL);
  EXPECT_TRUE(shown_when_asked);
  loop_->Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, CenterWindowUsesTheWorkArea) {
  windows_->set_work_area(RECT{0, 30, 1000, 830});
  LayoutWindow window(R"(<Window size="400,200"><Control/></Window>)");
  const HWND hwnd = window.Open(400, 200);
  window.CenterWindow();
  EXPECT_EQ(GetWindowRect(hwnd), (RECT{300, 330, 700, 530}));
  // Too big for the work area: the top-left corner stays on it.
  SetWindowPos(hwnd, nullptr, 0, 0, 1200, 900, SWP_NOMOVE);
  window.CenterWindow();
  EXPECT_EQ(GetWindowRect(hwnd).left, 0);
  EXPECT_EQ(GetWindowRect(hwnd).top, 30);
}

TEST_F(WindowTest, DeletingTheObjectTakesItsWindowAlong) {
  auto* window = new LayoutWindow(kCaptionLayout);
  const HWND hwnd = window->Open(400, 300);
  delete window;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(CWindowWnd::FromHandle(hwnd), nullptr);
  loop_->Pump();  // a posted "windowinit" for the gone window is dropped
}

TEST_F(WindowTest, NotificationHandlerMayDestroyItsOwnWindow) {
  struct Case {
    const char* type;
    const char* control;
  };
  for (const Case& c :
       {Case{"click", "b"}, Case{"selectchanged", "o"}, Case{"click", "o"}, Case{"itemselect", "r"},
        Case{"itemclick", "r"}, Case{"setfocus", "e"}, Case{"return", "e"}}) {
    auto* window = new LayoutWindow(R"(<Window size="400,40"><HorizontalLayout>
        <Button name="b"/><Option name="o"/><List name="l"><ListLabelElement name="r"/></List><Edit name="e"/>
      </HorizontalLayout></Window>)");
    window->delete_on_final = true;
    const std::string type = c.type;
    window->on_notify = [window, type](TNotifyUI& msg) {
      if (msg.sType == type) DestroyWindow(window->GetHWND());
    };
    const HWND hwnd = window->Open(400, 40);
    CControlUI* target = window->Find<CControlUI>(c.control);
    ClickControl(hwnd, target);
    if (IsWindow(hwnd)) Key(hwnd, VK_RETURN);
    EXPECT_FALSE(IsWindow(hwnd)) << c.type << " from " << c.control;
    loop_->Pump();
  }
}

}  // namespace
}  // namespace qrv::testing
