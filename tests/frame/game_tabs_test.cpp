// The game tabs: strip items, the counter that never reuses numbers, closing with renumbering,
// the browser tab's question and the single-tab question.

#include "frame_fixture.h"
#include "app/frame_messages.h"
#include "chat/chat_messages.h"
#include "tools/lock_screen_ui.h"

namespace qrv::testing {
namespace {

class GameTabsTest : public FrameFixture {
 protected:
  void SetUp() override {
    FrameFixture::SetUp();
    LogIn();
    ASSERT_NE(OpenFrame(), nullptr);
  }
  CContainerUI* Strip() const {
    return static_cast<CContainerUI*>(Find("IContainer")->GetInterface("Container"));
  }
  // A window of this process docked through message 1124.
  HWND DockNew(const std::string& title) {
    auto* window = new CNoteTipLike();
    window->Create(nullptr, title, WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100);
    SendMessage(hwnd(), kMsgDockWindow, reinterpret_cast<WPARAM>(window->GetHWND()));
    return window->GetHWND();
  }
  // A plain window standing in for another program's.
  class CNoteTipLike final : public CWindowWnd {
   public:
    std::string GetWindowClassName() const override { return "UIForeign"; }

   protected:
    void OnFinalMessage(HWND) override { delete this; }
  };
};

TEST_F(GameTabsTest, StripItemsCarryTheExactAttributesAndTagsOfTheirPlace) {
  Click("gm_button");
  ASSERT_EQ(frame_->tabs().count(), 2u);
  CControlUI* item = Find("标签页1");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetTag(), 1u);
  EXPECT_EQ(Strip()->GetItemAt(1), item);
  EXPECT_EQ(Strip()->GetItemAt(Strip()->GetCount() - 1)->GetName(), "NewItemBtn");
  auto* option = static_cast<COptionUI*>(Find("page1")->GetInterface("Option"));
  ASSERT_NE(option, nullptr);
  EXPECT_EQ(option->GetText(), "客服助手");
  EXPECT_EQ(option->GetGroup(), "group1");
  EXPECT_TRUE(option->IsSelected());
  EXPECT_FALSE(static_cast<COptionUI*>(Find("page0")->GetInterface("Option"))->IsSelected());
  EXPECT_NE(Find("CloseTabBtn1"), nullptr);
  // The new tab's window is the one shown; it is a browser view with id 10001 below the band.
  TabRecord& tab = frame_->tabs().at(1);
  EXPECT_TRUE(tab.owned);
  ASSERT_NE(tab.view, nullptr);
  EXPECT_EQ(tab.view->GetDlgCtrlID(), 10001);
  EXPECT_TRUE(IsWindowVisible(tab.hwnd));
  EXPECT_FALSE(IsWindowVisible(frame_->first_view().GetHWND()));
  EXPECT_EQ(windows_->StateOf(tab.hwnd)->rect.top, 80);

  EXPECT_EQ(GameTabs::OptionAttributes("", 4).find(" text=\"新页面4\" name=\"page4\""),
            std::string(" float=\"false\" group=\"group1\"").size());
}

TEST_F(GameTabsTest, SelectingATabShowsItsWindowAndClosingTheShownTabShowsTheOneTakingOver) {
  const HWND game = frame_->first_view().GetHWND();
  Click("gm_button");
  const HWND service = frame_->tabs().at(1).hwnd;
  const HWND docked = DockNew("外部窗口");
  ASSERT_EQ(frame_->tabs().count(), 3u);
  EXPECT_TRUE(IsWindowVisible(docked));
  EXPECT_FALSE(IsWindowVisible(service));

  // The first tab's option brings the game page back and hides the others; any tab's option
  // shows its own window.
  Click("page0");
  EXPECT_TRUE(IsWindowVisible(game));
  EXPECT_FALSE(IsWindowVisible(service));
  EXPECT_FALSE(IsWindowVisible(docked));
  Click("page1");
  EXPECT_TRUE(IsWindowVisible(service));
  EXPECT_FALSE(IsWindowVisible(game));

  // The screen lock covers every tab, and the unlock shows the selected one again.
  Click("bnlock");
  EXPECT_FALSE(IsWindowVisible(service));
  EXPECT_FALSE(IsWindowVisible(game));
  auto* lock = dynamic_cast<CLockScreenUI*>(CWindowWnd::FromHandle(frame_->lock_window()));
  ASSERT_NE(lock, nullptr);
  lock->FindControl("edinput")->SetText(session_.password);
  lock->CheckPassword();
  loop_->Pump();
  EXPECT_TRUE(IsWindowVisible(service));
  EXPECT_FALSE(IsWindowVisible(game));

  // Closing the shown service tab shows the tab before it (the game page), whose option is then
  // selected; closing a hidden tab changes nothing that shows.
  Click("CloseTabBtn1");
  EXPECT_TRUE(IsWindowVisible(game));
  EXPECT_TRUE(static_cast<COptionUI*>(Find("page0"))->IsSelected());
  Click("CloseTabBtn2");
  EXPECT_TRUE(IsWindowVisible(game));
  ASSERT_EQ(frame_->tabs().count(), 1u);

  // When the first tab closes while shown, the tab after it takes over.
  const HWND other = DockNew("另一个");
  Click("page0");
  EXPECT_FALSE(IsWindowVisible(other));
  ASSERT_EQ(frame_->tabs().count(), 2u);
  Click("CloseTabBtn");
  ASSERT_EQ(frame_->tabs().count(), 1u);
  EXPECT_TRUE(IsWindowVisible(other));
  EXPECT_FALSE(IsWindowVisible(game));
  EXPECT_TRUE(static_cast<COptionUI*>(Find("page3"))->IsSelected());
}

TEST_F(GameTabsTest, TheCounterOnlyGrows) {
  Click("bnduozhanghao");
  DockNew("外部窗口");
  ASSERT_EQ(frame_->tabs().count(), 3u);
  Click("CloseTabBtn1");
  ASSERT_EQ(frame_->tabs().count(), 2u);
  DockNew("第三个");
  EXPECT_NE(Find("标签页3"), nullptr);
  EXPECT_NE(Find("page3"), nullptr);
  EXPECT_NE(Find("CloseTabBtn3"), nullptr);
  EXPECT_EQ(Find("page3")->GetText(), "第三个");
}

TEST_F(GameTabsTest, ClosingRenumbersSoLaterClosesRemoveTheRightTab) {
  const HWND a = DockNew("甲");
  const HWND b = DockNew("乙");
  const HWND c = DockNew("丙");
  ASSERT_EQ(frame_->tabs().count(), 4u);
  Click("CloseTabBtn1");  // 甲
  EXPECT_EQ(Find("标签页2")->GetTag(), 1u);
  EXPECT_EQ(Find("标签页3")->GetTag(), 2u);
  EXPECT_FALSE(IsWindowVisible(a));
  EXPECT_TRUE(IsWindow(a));  // a docked window belongs to its program
  Click("CloseTabBtn3");     // 丙, now at position 2
  ASSERT_EQ(frame_->tabs().count(), 2u);
  EXPECT_EQ(frame_->tabs().at(1).hwnd, b);
  EXPECT_EQ(Find("标签页3"), nullptr);
  EXPECT_FALSE(IsWindowVisible(c));
  // Closing the visible tab selects the one before it (乙), without showing its window.
  EXPECT_TRUE(static_cast<COptionUI*>(Find("page2")->GetInterface("Option"))->IsSelected());
}

TEST_F(GameTabsTest, ClosingABrowserTabDestroysItsView) {
  Click("gm_button");
  const HWND view = frame_->tabs().at(1).hwnd;
  Click("CloseTabBtn1");
  EXPECT_FALSE(IsWindow(view));
  EXPECT_EQ(frame_->tabs().count(), 1u);
}

TEST_F(GameTabsTest, SecondServiceTabAsksAndOpensNothing) {
  std::vector<std::string> asked;
  windows_->SetMessageBoxResponder([&](const std::string& text, const std::string& caption) {
    asked.push_back(text + "|" + caption);
    return IDYES;
  });
  Click("gm_button");
  Click("page0");
  Click("gm_button");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], "已进入此服务器|进游戏提示");
  EXPECT_EQ(frame_->tabs().count(), 2u);
  EXPECT_TRUE(static_cast<COptionUI*>(Find("page1")->GetInterface("Option"))->IsSelected());
}

TEST_F(GameTabsTest, ClosingTheOnlyTabAsksToExit) {
  int asked = 0;
  windows_->SetMessageBoxResponder([&](const std::string& text, const std::string& caption) {
    ++asked;
    EXPECT_EQ(text, "您正在体验玄岚城，是否退出？");
    EXPECT_EQ(caption, "玄岚城提示");
    return IDNO;
  });
  Click("CloseTabBtn");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(frame_->tabs().count(), 0u);
  EXPECT_FALSE(IsWindowVisible(frame_->first_view().GetHWND()));
  EXPECT_TRUE(IsWindow(frame_->first_view().GetHWND()));
}

TEST_F(GameTabsTest, YesToTheSingleTabQuestionEndsTheProgram) {
  windows_->SetMessageBoxResponder([](const std::string&, const std::string&) { return IDYES; });
  ScopedExitHook hook;
  int code = 1234;
  try {
    Click("CloseTabBtn");
  } catch (const ProcessExit& exit) {
    code = exit.code;
  }
  EXPECT_EQ(code, -1);
}

TEST_F(GameTabsTest, DockedCaptionsFollowTheirWindowAndForeignGarbageIsRefused) {
  const HWND docked = DockNew("标题\"带引号\" name=\"x\"");
  EXPECT_EQ(Find("page1")->GetText(), "标题\"带引号\" name=\"x\"");
  EXPECT_EQ(Find("x"), nullptr);
  windows_->SetTitle(docked, "新标题");
  SendMessage(hwnd(), kMsgDockedCaption, reinterpret_cast<WPARAM>(docked));
  EXPECT_EQ(Find("page1")->GetText(), "新标题");
  EXPECT_EQ(SendMessage(hwnd(), kMsgDockWindow, 0), 0);
  SendMessage(hwnd(), kMsgDockWindow, 123456789);
  EXPECT_EQ(frame_->tabs().count(), 2u);
}

TEST_F(GameTabsTest, ChatMessagesWithoutTheirBlockAreRefused) {
  EXPECT_EQ(SendMessage(hwnd(), kMsgChatAccepted, 0, 0), -1);
  EXPECT_EQ(SendMessage(hwnd(), kMsgChatText, 0, 0), -1);
  EXPECT_EQ(SendMessage(hwnd(), kMsgAskChat, 0, 0), -1);
}

}  // namespace
}  // namespace qrv::testing
