// The multi-account page: a child page of the frame with three steps, account tiles built from
// their fixed attribute lists (each logged as applied), one tile per click on any "ButtonUI2",
// and the double click on the focused emblem.

#include "login/batch_login_ui.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/debug_sink.h"
#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "tools/window_test_support.h"

namespace qrv {
namespace {

class BatchLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    windows_ = &HeadlessWindows::Install();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
    frame_ = std::make_unique<testing::RecordingFrame>(RECT{0, 0, 1600, 960});
  }
  void TearDown() override {
    frame_.reset();
    for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
    MessageCore::Uninstall();
  }

  CBatchLoginUI* OpenPage() {
    auto* page = new CBatchLoginUI();
    if (page->CreatePage(frame_->hwnd(), CBatchLoginUI::PageRect(windows_->WorkArea())) == nullptr) {
      delete page;
      return nullptr;
    }
    loop_->Pump();
    page->paint_manager().UpdateLayout();
    return page;
  }
  static void Click(CBatchLoginUI* page, const std::string& name) {
    testing::ClickNamed(page->GetHWND(), page->paint_manager(), name);
  }
  static CContainerUI* Tiles(CBatchLoginUI* page) {
    return dynamic_cast<CContainerUI*>(page->paint_manager().FindControl("HorizontalLayoutUI41"));
  }

  HeadlessLoop* loop_ = nullptr;
  HeadlessWindows* windows_ = nullptr;
  std::unique_ptr<testing::RecordingFrame> frame_;
};

TEST_F(BatchLoginTest, FillsTheFramesTabAreaAndWalksItsSteps) {
  windows_->set_work_area(RECT{0, 0, 1600, 960});
  CBatchLoginUI* page = OpenPage();
  ASSERT_NE(page, nullptr);
  const HWND hwnd = page->GetHWND();
  EXPECT_EQ(page->GetWindowClassName(), "UIBatchLoginFrame");
  EXPECT_EQ(windows_->Parent(hwnd), frame_->hwnd());
  const std::uint32_t style = windows_->Style(hwnd);
  EXPECT_NE(style & WS_CHILD, 0u);
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(windows_->WindowRect(hwnd), (RECT{0, 80, 1600, 960}));
  for (const char* name :
       {"TabLayoutUI1", "HorizontalLayoutUI41", "ControlUI1", "bnadd", "bnok", "ButtonUI2"}) {
    EXPECT_NE(page->paint_manager().FindControl(name), nullptr) << name;
  }
  ASSERT_NE(page->steps(), nullptr);
  EXPECT_EQ(page->steps()->GetCurSel(), 0);

  DebugCapture log;
  Click(page, "bnadd");
  EXPECT_EQ(page->steps()->GetCurSel(), 1);
  Click(page, "bnok");
  EXPECT_EQ(page->steps()->GetCurSel(), 2);
  // Every notification is logged as its type and its sender's name.
  EXPECT_TRUE(log.Contains("clickbnadd\n"));
  EXPECT_TRUE(log.Contains("clickbnok\n"));
}

TEST_F(BatchLoginTest, EveryButtonUI2AddsOneTileBuiltFromTheFixedLists) {
  CBatchLoginUI* page = OpenPage();
  ASSERT_NE(page, nullptr);
  Click(page, "bnadd");
  CContainerUI* tiles = Tiles(page);
  ASSERT_NE(tiles, nullptr);
  EXPECT_EQ(tiles->GetCount(), 0);

  DebugCapture log;
  for (int i = 0; i < 3; ++i) Click(page, "ButtonUI2");
  ASSERT_EQ(tiles->GetCount(), 3);
  for (const char* list : {CBatchLoginUI::kPictureAttributes, CBatchLoginUI::kCheckBoxAttributes,
                           CBatchLoginUI::kCloseButtonAttributes, CBatchLoginUI::kCaptionAttributes,
                           CBatchLoginUI::kTileAttributes}) {
    EXPECT_TRUE(log.Contains(list)) << list;
  }
  EXPECT_TRUE(log.Contains("clickButtonUI2\n"));

  auto* tile = dynamic_cast<CContainerUI*>(tiles->GetItemAt(0));
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile->GetClass(), "HorizontalLayoutUI");
  EXPECT_EQ(tile->GetName(), "HorizontalLayoutUI51");
  ASSERT_EQ(tile->GetCount(), 4);
  const char* names[] = {"ControlUI2", "OptionUI1", "ButtonUI2", "TextUI2"};
  const char* classes[] = {"ControlUI", "OptionUI", "ButtonUI", "TextUI"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tile->GetItemAt(i)->GetName(), names[i]);
    EXPECT_EQ(tile->GetItemAt(i)->GetClass(), classes[i]);
  }
  EXPECT_EQ(tile->GetItemAt(3)->GetText(), "心跳包发送成功");

  // Laid out, the tiles stand in click order, 50 wide, with their pictures, boxes and captions.
  page->paint_manager().UpdateLayout();
  for (int i = 0; i + 1 < tiles->GetCount(); ++i)
    EXPECT_LT(tiles->GetItemAt(i)->GetPos().left, tiles->GetItemAt(i + 1)->GetPos().left);
  const RECT tile_rect = tile->GetPos();
  EXPECT_EQ(tile_rect.right - tile_rect.left, 50);
  const RECT picture = tile->GetItemAt(0)->GetPos();
  EXPECT_EQ(picture.right - picture.left, 50);
  EXPECT_EQ(picture.bottom - picture.top, 50);
  const RECT close = tile->GetItemAt(2)->GetPos();
  EXPECT_EQ(close.right, tile_rect.right - 1);  // its pos counts from the tile's right edge
  EXPECT_EQ(close.right - close.left, 15);
  const RECT caption = tile->GetItemAt(3)->GetPos();
  EXPECT_EQ(caption.top, tile_rect.top + 50);

  // A tile's own close button is named ButtonUI2 too: it adds a tile and removes none.
  testing::ClickControl(page->GetHWND(), page->paint_manager(), *tile->GetItemAt(2));
  EXPECT_EQ(tiles->GetCount(), 4);
  EXPECT_EQ(tiles->GetItemAt(0), tile);
  std::filesystem::create_directories(QRV_DOCS_OUTPUT);
  EXPECT_TRUE(page->paint_manager().RenderToPng(std::string(QRV_DOCS_OUTPUT) + "/multi-account.png"));
}

TEST_F(BatchLoginTest, WithoutTheTileContainerButtonUI2DoesNothing) {
  CPaintManagerUI::SetResourceFiles({{"loginpl.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="400,300">
  <TabLayout name="TabLayoutUI1">
    <VerticalLayout><Button name="ButtonUI2" height="30" text="add"/><Control/></VerticalLayout>
  </TabLayout>
</Window>)"}});
  CBatchLoginUI* page = OpenPage();
  ASSERT_NE(page, nullptr);
  const std::size_t controls_before = page->paint_manager().FindControls("ButtonUI2").size();
  Click(page, "ButtonUI2");
  EXPECT_FALSE(page->AppendAccountTile());
  EXPECT_EQ(page->paint_manager().FindControls("ButtonUI2").size(), controls_before);
  EXPECT_TRUE(IsWindow(page->GetHWND()));
}

TEST_F(BatchLoginTest, DoubleClickOpensTheAccountStepOnlyWhileTheEmblemHasTheFocus) {
  CBatchLoginUI* page = OpenPage();
  ASSERT_NE(page, nullptr);
  const HWND hwnd = page->GetHWND();
  CPaintManagerUI& pm = page->paint_manager();
  CControlUI* emblem = pm.FindControl("ControlUI1");
  ASSERT_NE(emblem, nullptr);

  // The focus is elsewhere (the add button): a double click changes no step.
  pm.SetFocus(pm.FindControl("bnadd"));
  SendMessage(hwnd, WM_LBUTTONDBLCLK, 1, testing::PointParam(POINT{5, 5}));
  EXPECT_EQ(page->steps()->GetCurSel(), 0);

  // A real double click on the emblem: its first press gives it the focus.
  const LPARAM at = testing::PointParam(testing::CentreOf(*emblem));
  SendMessage(hwnd, WM_LBUTTONDOWN, 1, at);
  SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(pm.GetFocus(), emblem);
  EXPECT_EQ(page->steps()->GetCurSel(), 0);
  SendMessage(hwnd, WM_LBUTTONDBLCLK, 1, at);
  SendMessage(hwnd, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(page->steps()->GetCurSel(), 1);
}

}  // namespace
}  // namespace qrv
