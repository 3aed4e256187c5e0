// The agent list's tree: where rows go, what they say, what hides them, what a click toggles,
// what is refused and what a removal takes with it; and the smooth wheel on the virtual clock.

#include <gtest/gtest.h>

#include "lists/lists_test_support.h"
#include "platform/message_core.h"

namespace qrv::testing {
namespace {

using Names = std::vector<std::string>;

class GameListTest : public ListsTest {};

// Clicks the middle of `row` where it is now (after the layout that hiding and showing rows asks for).
void ClickRow(LayoutWindow& window, HWND hwnd, CControlUI* row) {
  window.pm.UpdateLayout();
  ClickControl(hwnd, row);
}

constexpr char kLayout[] = R"(<Window size="240,400"><VerticalLayout>
  <GameList name="gamelist" itemheight="24"/>
</VerticalLayout></Window>)";

TEST_F(GameListTest, NodesGoAfterTheirParentsDescendantsAndRemovalTakesTheSubtree) {
  ListWindow window(kLayout);
  window.Open(240, 400);
  auto* list = window.Find<CGameListUI>("gamelist");
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->GetInterface("GameList"), nullptr);

  ListNode* a = list->AddNode("A");
  ListNode* b = list->AddNode("B");
  ListNode* b1 = list->AddNode("b1", b);
  ListNode* a1 = list->AddNode("a1", a);
  ListNode* a1x = list->AddNode("a1x", a1);
  ListNode* a2 = list->AddNode("a2", a);
  ASSERT_TRUE(a && b && b1 && a1 && a1x && a2);
  // Level-1 nodes start collapsed, so a1's child is hidden; groups start expanded.
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "[a1x]", "a2", "B", "b1"}));
  EXPECT_EQ(a->level, 0);
  EXPECT_EQ(a1x->level, 2);
  EXPECT_TRUE(a->expanded);
  EXPECT_FALSE(a1->expanded);

  // Row texts: indentation per level; the expander only on rows directly under the root.
  EXPECT_EQ(a->element->GetText(), "<x 6><a><i tree_expand.png 2 1></a>A");
  EXPECT_EQ(a1->element->GetText(), "<x 6><x 24>a1");
  EXPECT_EQ(a1x->element->GetText(), "<x 6><x 24><x 24>a1x");
  EXPECT_EQ(a->element->GetBkImage(), "file='tree_top.png' corner='2,1,2,1' fade='100'");
  EXPECT_EQ(a1->element->GetBkImage(), "");
  EXPECT_EQ(a1->element->GetTag(), reinterpret_cast<std::uintptr_t>(a1));
  EXPECT_EQ(list->NodeOf(a1->element), a1);

  // Only label rows are taken; a plain label row has no node.
  auto* container_row = new CListContainerElementUI;
  EXPECT_FALSE(list->Add(container_row));
  EXPECT_FALSE(list->AddAt(container_row, 0));
  delete container_row;
  auto* plain = new CListLabelElementUI;
  plain->SetTag(reinterpret_cast<std::uintptr_t>(a));  // a tag the list did not set is not trusted
  EXPECT_TRUE(list->Add(plain));
  EXPECT_EQ(list->NodeOf(plain), nullptr);
  // A node of another list is not a parent here.
  CGameListUI other;
  EXPECT_EQ(list->AddNode("x", other.AddNode("elsewhere")), nullptr);

  // Removing a group row removes everything below it, whatever its depth and visibility.
  EXPECT_TRUE(list->Remove(a->element));
  EXPECT_EQ(RowNames(*list), (Names{"B", "b1", "-"}));
  ASSERT_EQ(list->GetRootNode()->children.size(), 1u);
  EXPECT_EQ(list->GetRootNode()->children[0].get(), b);
  EXPECT_TRUE(list->RemoveAt(2));  // the plain row alone
  EXPECT_EQ(RowNames(*list), (Names{"B", "b1"}));
  EXPECT_TRUE(list->Remove(b1->element));
  EXPECT_TRUE(b->children.empty());

  // Remove all: a fresh root, and the next group goes first again.
  list->RemoveAll();
  EXPECT_EQ(list->GetCount(), 0);
  const ListNode* root = list->GetRootNode();
  EXPECT_EQ(root->level, -1);
  EXPECT_TRUE(root->expanded);
  EXPECT_TRUE(root->children.empty());
  EXPECT_FALSE(list->Owns(b));
  EXPECT_NE(list->AddNode("C"), nullptr);
  EXPECT_EQ(RowNames(*list), (Names{"C"}));
}

TEST_F(GameListTest, ExpandingShowsDescendantsWhoseParentsAreOpenAndClicksToggleOneFlag) {
  ListWindow window(kLayout);
  const HWND hwnd = window.Open(240, 400);
  auto* list = window.Find<CGameListUI>("gamelist");
  ListNode* a = list->AddNode("A");
  ListNode* a1 = list->AddNode("a1", a);
  list->AddNode("a1x", a1);
  list->AddNode("a2", a);
  ListNode* b = list->AddNode("B");
  ListNode* b1 = list->AddNode("b1", b);
  window.on_notify = [list](TNotifyUI& msg) {
    if (msg.sType == kNotifyItemClick) list->ToggleOnItemClick(msg.pSender);
  };

  list->SetExpanded(a, false);
  EXPECT_EQ(RowNames(*list), (Names{"A", "[a1]", "[a1x]", "[a2]", "B", "b1"}));
  EXPECT_EQ(a->element->GetText(), "<x 6><a><i tree_expand.png 2 0></a>A");
  // Expanding a hidden node changes its text but not its children: its row is not shown.
  list->SetExpanded(a1, true);
  EXPECT_EQ(a1->element->GetText(), "<x 6><x 24><a><i tree_expand.png 2 1></a>a1");
  EXPECT_EQ(RowNames(*list), (Names{"A", "[a1]", "[a1x]", "[a2]", "B", "b1"}));
  list->SetExpanded(a, true);
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "a1x", "a2", "B", "b1"}));
  // Nothing for the root, no node, or a node of another list.
  list->SetExpanded(list->GetRootNode(), false);
  list->SetExpanded(nullptr, false);
  CGameListUI other;
  ListNode* foreign = other.AddNode("F");
  list->SetExpanded(foreign, false);
  EXPECT_TRUE(foreign->expanded);
  list->SetExpanded(a1, false);
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "[a1x]", "a2", "B", "b1"}));

  // Clicks: the flag starts false, so the first click on a group collapses it; every click on
  // any row inverts the flag, and a group asked for the state it has stays as it is.
  window.pm.UpdateLayout();
  EXPECT_EQ(b->element->GetPos().top, 3 * 24) << "hidden rows take no room";
  ClickRow(window, hwnd, b->element);
  EXPECT_FALSE(b->expanded);
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "[a1x]", "a2", "B", "[b1]"}));
  EXPECT_TRUE(list->next_click_expands());
  ClickRow(window, hwnd, a1->element);  // a1 has a child: it opens with the flag's true
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "a1x", "a2", "B", "[b1]"}));
  ClickRow(window, hwnd, list->GetItemAt(2));  // a1x, a leaf: only the flag turns
  EXPECT_TRUE(list->next_click_expands());
  ClickRow(window, hwnd, b->element);
  EXPECT_TRUE(b->expanded);
  EXPECT_EQ(RowNames(*list), (Names{"A", "a1", "a1x", "a2", "B", "b1"}));
  ClickRow(window, hwnd, b1->element);
  ClickRow(window, hwnd, b->element);  // asks for true again: unchanged, flag turns anyway
  EXPECT_TRUE(b->expanded);
  EXPECT_FALSE(list->next_click_expands());
  // A second list keeps its own flag.
  EXPECT_FALSE(other.next_click_expands());
}

// Rows enough to scroll far: 100 rows of 24 pixels in a list 100 pixels high.
constexpr char kScrollLayout[] = R"(<Window size="200,100"><VerticalLayout>
  <GameList name="gamelist" itemheight="24"/>
</VerticalLayout></Window>)";

TEST_F(GameListTest, WheelEasesOutReversesFromWhatIsLeftAndStopsItsTimer) {
  ListWindow window(kScrollLayout);
  const HWND hwnd = window.Open(200, 100);
  auto* list = window.Find<CGameListUI>("gamelist");
  for (int i = 0; i < 100; ++i) list->AddNode("row" + std::to_string(i));
  window.pm.UpdateLayout();
  const int range = list->GetScrollRange().cy;
  ASSERT_EQ(range, 100 * 24 - 100);
  const SmoothWheelScroller& wheel = list->wheel_scroller();

  // Down: D = -8, N = L = floor(sqrt(8)) * 5 = 10. Nothing moves before the first tick.
  EXPECT_EQ(MessageCore::NextTimerDue(), -1);
  Wheel(hwnd, 50, 50, -120);
  EXPECT_EQ(wheel.delta(), -8);
  EXPECT_EQ(wheel.steps(), 10);
  EXPECT_EQ(list->GetScrollPos().cy, 0);
  EXPECT_EQ(MessageCore::NextTimerDue(), loop_->NowMs() + 50);
  loop_->Advance(50);  // L = 9: E = trunc(0.81 * -8) = -6
  EXPECT_EQ(list->GetScrollPos().cy, 6);
  loop_->Advance(50);  // L = 8: E = trunc(0.64 * -8) = -5
  EXPECT_EQ(list->GetScrollPos().cy, 11);
  EXPECT_EQ(wheel.steps_left(), 8);

  // Up while going down: P = trunc(0.64 * -8) = -5, D = P + 12 = 7, N = L = 10.
  Wheel(hwnd, 50, 50, 120);
  EXPECT_EQ(wheel.delta(), 7);
  EXPECT_EQ(wheel.steps(), 10);
  EXPECT_EQ(wheel.steps_left(), 10);
  loop_->Advance(50);  // E = trunc(0.81 * 7) = 5
  EXPECT_EQ(list->GetScrollPos().cy, 6);

  // Notches in a row add 8 each, from the whole remaining delta, up to the limit of 100.
  for (int i = 0; i < 20; ++i) Wheel(hwnd, 50, 50, -120);
  EXPECT_EQ(wheel.delta(), -100);
  EXPECT_EQ(wheel.steps(), 50);
  // The motion runs its 50 steps (sum of trunc((L/50)^2 * 100) for L = 49..0), then rests.
  int expected = 6;
  for (int left = 49; left >= 0; --left) expected += left * left * 100 / 2500;
  loop_->Advance(50 * 60);
  EXPECT_TRUE(wheel.at_rest());
  EXPECT_EQ(list->GetScrollPos().cy, expected);
  ASSERT_LT(expected, range);
  // Its timer stopped: no timer is left, and the position stays where the list is put.
  EXPECT_EQ(MessageCore::NextTimerDue(), -1);
  list->SetScrollPos({0, 100});
  loop_->Advance(1000);
  EXPECT_EQ(list->GetScrollPos().cy, 100);

  // At the end of the range a turn downwards has nowhere to go: it ends at the first tick.
  list->EndDown();
  Wheel(hwnd, 50, 50, -120);
  loop_->Advance(50);
  EXPECT_TRUE(wheel.at_rest());
  EXPECT_EQ(list->GetScrollPos().cy, range);

  // A list that takes no mouse input hands the wheel to its parent, which does not scroll.
  list->SetMouseEnabled(false);
  list->SetScrollPos({0, 50});
  Wheel(hwnd, 50, 50, 120);
  loop_->Advance(500);
  EXPECT_TRUE(wheel.at_rest());
  EXPECT_EQ(list->GetScrollPos().cy, 50);
}

}  // namespace
}  // namespace qrv::testing
