// Lists and combo boxes: selection by mouse and code, row notifications, wheel scrolling, rows
// added and removed, and the combo's drop-down window.

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace qrv::testing {
namespace {

using Log = std::vector<std::string>;

class ListTest : public UiTest {};

std::string Rows(int count) {
  std::string rows;
  for (int i = 0; i < count; ++i) {
    rows +=
        "<ListLabelElement name=\"row" + std::to_string(i) + "\" text=\"第" + std::to_string(i) + "行\"/>";
  }
  return rows;
}

TEST_F(ListTest, PressingARowSelectsItAndReportsClickSelectAndActivate) {
  LayoutWindow window(R"(<Window size="200,100"><List name="gamelist" itemshowhtml="true">)" + Rows(3) +
                      "</List></Window>");
  const HWND hwnd = window.Open(200, 100);
  auto* list = window.Find<CListUI>("gamelist");
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_EQ(window.Find<CControlUI>("row1")->GetPos(), (RECT{0, 22, 200, 44}));
  Click(hwnd, 50, 30);
  EXPECT_EQ(list->GetCurSel(), 1);
  EXPECT_TRUE(static_cast<CListLabelElementUI*>(list->GetItemAt(1))->IsSelected());
  EXPECT_EQ(window.Log(), (Log{"itemselect:gamelist", "itemclick:row1"}));
  EXPECT_EQ(window.notes[0].wParam, 1u);
  EXPECT_EQ(window.notes[0].lParam, -1);
  window.Clear();
  DoubleClick(hwnd, 50, 5);
  // The second press of a double click arrives as the double click itself.
  EXPECT_EQ(window.Log(), (Log{"itemselect:gamelist", "itemclick:row0", "itemactivate:row0"}));
  EXPECT_FALSE(static_cast<CListLabelElementUI*>(list->GetItemAt(1))->IsSelected());
  // From code: no change, no notification; -1 clears; out of range is refused.
  window.Clear();
  EXPECT_TRUE(list->SelectItem(0));
  EXPECT_FALSE(list->SelectItem(3));
  EXPECT_TRUE(list->SelectItem(-1));
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_EQ(window.Log(), (Log{"itemselect:gamelist"}));
}

TEST_F(ListTest, WheelScrollsTheListUnderTheMouseAndRowsMoveWithIt) {
  LayoutWindow window(R"(<Window size="200,100"><VerticalLayout>
      <List name="l" height="100">)" +
                      Rows(10) + R"(</List></VerticalLayout></Window>)");
  const HWND hwnd = window.Open(200, 100);
  auto* list = window.Find<CListUI>("l");
  EXPECT_EQ(list->GetScrollRange().cy, 10 * 22 - 100);
  Wheel(hwnd, 50, 50, -120);  // towards the user: down
  const int down = list->GetScrollPos().cy;
  EXPECT_GT(down, 0);
  EXPECT_EQ(window.Find<CControlUI>("row0")->GetPos().top, -down);
  // The row under the mouse is the one that moved there.
  Click(hwnd, 50, 5);
  EXPECT_EQ(list->GetCurSel(), down / 22);
  for (int i = 0; i < 20; ++i) Wheel(hwnd, 50, 50, -120);
  EXPECT_EQ(list->GetScrollPos().cy, list->GetScrollRange().cy) << "stops at the end";
  Wheel(hwnd, 50, 50, 240);
  EXPECT_EQ(list->GetScrollPos().cy, list->GetScrollRange().cy - 60);
  list->HomeUp();
  EXPECT_EQ(list->GetScrollPos().cy, 0);
  // Selecting a row out of sight scrolls it into view.
  list->SelectItem(9);
  EXPECT_EQ(window.Find<CControlUI>("row9")->GetPos().bottom, 100);
}

TEST_F(ListTest, RowsAddedAndRemovedKeepIndicesAndSelection) {
  LayoutWindow window(R"(<Window size="200,200"><List name="l">)" + Rows(3) + "</List></Window>");
  window.Open(200, 200);
  auto* list = window.Find<CListUI>("l");
  list->SelectItem(1);
  auto* fresh = new CListLabelElementUI;
  fresh->SetName("fresh");
  ASSERT_TRUE(list->AddAt(fresh, 0));
  EXPECT_EQ(list->GetCurSel(), 2) << "the selected row moved down";
  EXPECT_EQ(fresh->GetIndex(), 0);
  EXPECT_EQ(static_cast<CListLabelElementUI*>(list->GetItemAt(3))->GetIndex(), 3);
  auto* stray = new CListLabelElementUI;
  EXPECT_FALSE(list->AddAt(stray, 9));
  EXPECT_FALSE(list->Add(fresh)) << "already in the list";
  delete stray;
  EXPECT_EQ(list->GetCount(), 4);
  auto* container_row = new CListContainerElementUI;
  container_row->SetFixedHeight(32);
  ASSERT_TRUE(list->Add(container_row));
  EXPECT_EQ(container_row->GetOwner(), list);
  EXPECT_TRUE(list->RemoveAt(2));
  EXPECT_EQ(list->GetCurSel(), -1) << "the selected row went";
  EXPECT_TRUE(list->Remove(fresh));
  EXPECT_EQ(container_row->GetIndex(), list->GetCount() - 1);
  list->RemoveAll();
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_EQ(window.pm.FindControl("row0"), nullptr);
}

TEST_F(ListTest, ClickOnAChildOfAContainerRowSelectsTheRow) {
  LayoutWindow window(R"(<Window size="200,100"><List name="friends">
      <ListContainerElement name="r0" height="32"><Label name="nickname" text="a"/><Button name="ButtonUI5" width="30"/></ListContainerElement>
      <ListContainerElement name="r1" height="32"><Label name="nickname1" text="b"/></ListContainerElement>
    </List></Window>)");
  const HWND hwnd = window.Open(200, 100);
  auto* list = window.Find<CListUI>("friends");
  Click(hwnd, 20, 40);
  EXPECT_EQ(list->GetCurSel(), 1);
  window.Clear();
  Click(hwnd, 185, 10);  // the row's button handles its own click
  EXPECT_EQ(window.LogOf("click"), Log{"ButtonUI5"});
  EXPECT_EQ(list->GetCurSel(), 1);
}

TEST_F(ListTest, ComboDropsDownAWindowAndTakesTheChosenRow) {
  LayoutWindow window(R"(<Window size="300,200"><VerticalLayout>
      <Combo name="comboAccount" height="24" dropboxsize="0,100">
        <ListLabelElement text="甲"/><ListLabelElement text="乙"/><ListLabelElement text="丙"/>
      </Combo><Control/></VerticalLayout></Window>)");
  const HWND hwnd = window.Open(300, 200);
  auto* combo = window.Find<CComboUI>("comboAccount");
  EXPECT_EQ(combo->GetText(), "");
  const std::size_t before = MessageCore::WindowCount();
  ClickControl(hwnd, combo);
  ASSERT_TRUE(combo->IsDropped());
  EXPECT_EQ(window.LogOf("dropdown"), Log{"comboAccount"});
  ASSERT_EQ(MessageCore::WindowCount(), before + 1);
  const HWND drop = AllWindows().back();
  EXPECT_TRUE(IsWindowVisible(drop));
  // Right under the combo, in screen coordinates, as wide as the combo.
  EXPECT_EQ(GetWindowRect(drop), (RECT{100, 124, 400, 124 + 3 * 22 + 2}));
  Click(drop, 50, 1 + 22 + 5);
  EXPECT_EQ(combo->GetCurSel(), 1);
  EXPECT_EQ(combo->GetText(), "乙");
  EXPECT_EQ(window.LogOf("itemselect"), Log{"comboAccount"});
  EXPECT_FALSE(combo->IsDropped());
  loop_->Pump();
  EXPECT_EQ(MessageCore::WindowCount(), before);
  // Keys change the selection; Escape and a lost focus close the drop-down.
  combo->SetFocus();
  Key(hwnd, VK_DOWN);
  EXPECT_EQ(combo->GetText(), "丙");
  ClickControl(hwnd, combo);
  ASSERT_TRUE(combo->IsDropped());
  Key(AllWindows().back(), VK_ESCAPE);
  loop_->Pump();
  EXPECT_FALSE(combo->IsDropped());
  EXPECT_EQ(MessageCore::WindowCount(), before);
  ClickControl(hwnd, combo);
  ASSERT_TRUE(combo->IsDropped());
  WindowSystem::Get().SetFocus(hwnd);
  loop_->Pump();
  EXPECT_FALSE(combo->IsDropped());
  EXPECT_EQ(combo->GetCurSel(), 2);
}

TEST_F(ListTest, ComboGoingAwayClosesItsDropDown) {
  auto* window = new LayoutWindow(R"(<Window size="300,200"><VerticalLayout>
      <Combo name="c" height="24"><ListLabelElement text="甲"/></Combo><Control/></VerticalLayout></Window>)");
  const HWND hwnd = window->Open(300, 200);
  const std::size_t before = MessageCore::WindowCount();
  ClickControl(hwnd, window->Find<CControlUI>("c"));
  ASSERT_EQ(MessageCore::WindowCount(), before + 1);
  delete window;
  loop_->Pump();
  EXPECT_EQ(MessageCore::WindowCount(), before - 1);
}

}  // namespace
}  // namespace qrv::testing
