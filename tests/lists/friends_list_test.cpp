// The friends list: rows built from the row template with every part filled, the tree order
// under nested folders, refused rows, removal with descendants and the selection rule.

#include <gtest/gtest.h>

#include "lists/lists_test_support.h"
#include "ui/resources/skin_archive.h"

namespace qrv::testing {
namespace {

using Names = std::vector<std::string>;

class FriendsListTest : public ListsTest {};

constexpr char kLayout[] = R"(<Window size="320,300"><VerticalLayout>
  <FriendList name="friends"/>
</VerticalLayout></Window>)";

FriendListEntry Entry(const std::string& nickname, bool folder = false, bool empty = false) {
  FriendListEntry entry;
  entry.folder = folder;
  entry.empty = empty;
  entry.id = "id-" + nickname;
  entry.nickname = nickname;
  return entry;
}

// A control whose class name differs from the row class in case only.
class OddCaseRow : public CListContainerElementUI {
 public:
  std::string GetClass() const override { return "listcontainerelementUI"; }
};

TEST_F(FriendsListTest, RowsAreBuiltFromTheTemplateWithEveryPartFilled) {
  ListWindow window(kLayout);
  const HWND hwnd = window.Open(320, 300);
  auto* list = window.Find<CFriendsUI>("friends");
  ASSERT_NE(list, nullptr);

  FriendListEntry alarm = Entry("2013-5-20|8|30|");
  alarm.logo = "1";
  alarm.description = "boss";
  alarm.note = "每天";
  ListNode* node = list->AddNode(alarm);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->level, 0);
  EXPECT_EQ(node->value, "id-2013-5-20|8|30|");
  EXPECT_FALSE(node->expanded);
  CControlUI* row = node->element;
  window.pm.UpdateLayout();
  EXPECT_TRUE(row->IsVisible());
  EXPECT_EQ(row->GetPos().bottom - row->GetPos().top, 32);
  EXPECT_EQ(row->GetPadding(), (RECT{10, 0, 0, 0}));
  EXPECT_EQ(row->GetPos().left, 10);
  EXPECT_EQ(Part(row, "logo")->GetText(), "1");
  EXPECT_TRUE(Part(row, "logo_container")->IsVisible());
  EXPECT_EQ(Part(row, "nickname")->GetText(), "2013-5-20|8|30|");
  EXPECT_EQ(Part(row, "description")->GetText(), "boss");
  auto* note = static_cast<CLabelUI*>(Part(row, "LabelUI1"));
  EXPECT_EQ(note->GetText(), "<x 20><c #808080>每天</c>");
  EXPECT_TRUE(note->IsShowHtml());
  // The remove button now carries the row's name, and reports it as the sender of its click.
  EXPECT_EQ(Part(row, "ButtonUI5"), nullptr);
  CControlUI* remove = Part(row, "2013-5-20|8|30|");
  ASSERT_NE(remove, nullptr);
  ClickControl(hwnd, remove);
  EXPECT_EQ(window.LogOf(kNotifyClick), (Names{"2013-5-20|8|30|"}));

  // The template is read once: later rows come from the parsed markup, even with the file gone.
  ui::SkinResources::ClearFiles();
  FriendListEntry plain = Entry("no logo");
  plain.note = std::string(300, 'n');
  ListNode* second = list->AddNode(plain);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(Part(second->element, "logo_container")->IsVisible());
  EXPECT_EQ(Part(second->element, "description")->GetText(), "(none)") << "an empty description is not set";
  EXPECT_EQ(Part(second->element, "LabelUI1")->GetText(), "<x 20><c #808080>" + std::string(258, 'n') + "</c>");
  // Texts are cut by characters, never inside one.
  FriendListEntry wide = Entry("wide");
  wide.logo = std::string(600, 'x');
  wide.description.clear();
  for (int i = 0; i < 300; ++i) wide.description += "长";
  ListNode* third = list->AddNode(wide);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(Part(third->element, "logo")->GetText(), std::string(258, 'x'));
  EXPECT_EQ(Part(third->element, "description")->GetText().size(), 258u * 3);

  // A folder: no logo, a name with the closed-folder icon, a shared-width name part.
  ListNode* folder = list->AddNode(Entry("folder", true));
  CControlUI* folder_row = folder->element;
  EXPECT_TRUE(folder->has_children);
  EXPECT_FALSE(Part(folder_row, "logo_container")->IsVisible());
  EXPECT_EQ(Part(folder_row, "nickname")->GetText(), "<i list_icon_a.png><x 10>folder");
  EXPECT_EQ(Part(folder_row, "nickname")->GetFixedWidth(), 0);
  ListNode* empty_folder = list->AddNode(Entry("empty", true, true));
  EXPECT_FALSE(empty_folder->has_children);
  EXPECT_EQ(Part(empty_folder->element, "nickname")->GetText(), "empty");
  // A child of a (collapsed) folder is hidden and indented 10 more per level.
  ListNode* child = list->AddNode(Entry("child"), folder);
  EXPECT_FALSE(child->element->IsVisible());
  EXPECT_EQ(child->element->GetPadding(), (RECT{20, 0, 0, 0}));

  // Pressing the logo acts on its row: the row is selected and reports "itemclick".
  window.Clear();
  window.pm.UpdateLayout();
  ClickControl(hwnd, Part(row, "logo"));
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_EQ(window.LogOf(kNotifyItemClick), (Names{""}));
  EXPECT_EQ(window.LogOf(kNotifyItemSelect), (Names{"friends"}));

  // A logo that is a plain label: the press reaches the row once, not twice.
  std::string label_logo = kFriendRowTemplate;
  label_logo.replace(label_logo.find("<Button name=\"logo\""), 7, "<Label");
  ui::SkinResources::AddFile(CFriendsUI::kRowTemplate, label_logo);
  ListWindow other(kLayout);
  const HWND other_hwnd = other.Open(320, 300);
  auto* other_list = other.Find<CFriendsUI>("friends");
  ListNode* labelled = other_list->AddNode(alarm);
  ASSERT_NE(labelled, nullptr);
  ASSERT_EQ(Part(labelled->element, "logo")->GetClass(), "LabelUI");
  other.pm.UpdateLayout();
  ClickControl(other_hwnd, Part(labelled->element, "logo"));
  EXPECT_EQ(other.LogOf(kNotifyItemClick), (Names{""}));
  EXPECT_EQ(other_list->GetCurSel(), 0);
}

TEST_F(FriendsListTest, TreeOrderRefusalsRemovalAndSelection) {
  ListWindow window(kLayout);
  window.Open(320, 300);
  auto* list = window.Find<CFriendsUI>("friends");
  ListNode* f1 = list->AddNode(Entry("F1", true));
  ListNode* f2 = list->AddNode(Entry("F2", true));
  ListNode* c1 = list->AddNode(Entry("c1", true), f1);
  list->AddNode(Entry("g1"), c1);
  list->AddNode(Entry("c2"), f1);
  list->AddNode(Entry("g2"), c1);  // after g1, before c2
  list->AddNode(Entry("f2a"), f2);
  EXPECT_EQ(RowNames(*list), (Names{"F1", "[c1]", "[g1]", "[g2]", "[c2]", "F2", "[f2a]"}));
  EXPECT_EQ(list->NodeOf(list->GetItemAt(2))->level, 2);

  // Only container rows, whatever the case of their class name.
  auto* label_row = new CListLabelElementUI;
  EXPECT_FALSE(list->Add(label_row));
  auto* button = new CButtonUI;
  EXPECT_FALSE(list->AddAt(button, 0));
  delete label_row;
  delete button;
  EXPECT_TRUE(list->AddAt(new OddCaseRow, 7));
  EXPECT_TRUE(list->Add(new CListContainerElementUI));
  EXPECT_EQ(RowNames(*list), (Names{"F1", "[c1]", "[g1]", "[g2]", "[c2]", "F2", "[f2a]", "-", "-"}));

  // Selection: the selected row again changes nothing; another row deselects the first.
  window.Clear();
  auto selected = [list](int i) { return static_cast<CListContainerElementUI*>(list->GetItemAt(i))->IsSelected(); };
  EXPECT_TRUE(list->SelectItem(5));
  EXPECT_TRUE(list->SelectItem(5));
  EXPECT_EQ(window.LogOf(kNotifyItemSelect).size(), 1u);
  EXPECT_TRUE(list->SelectItem(0));
  EXPECT_FALSE(selected(5));
  EXPECT_TRUE(selected(0));
  EXPECT_EQ(list->GetCurSel(), 0);
  EXPECT_FALSE(list->SelectItem(40));
  EXPECT_EQ(list->GetCurSel(), -1) << "the old row is let go before the new one is tried";
  EXPECT_FALSE(selected(0));

  // Removing a folder row takes every row below it; a plain row goes alone.
  EXPECT_TRUE(list->Remove(f1->element));
  EXPECT_EQ(RowNames(*list), (Names{"F2", "[f2a]", "-", "-"}));
  EXPECT_EQ(list->GetRootNode()->children.size(), 1u);
  EXPECT_TRUE(list->RemoveAt(3));
  EXPECT_EQ(RowNames(*list), (Names{"F2", "[f2a]", "-"}));
  EXPECT_FALSE(list->RemoveAt(7));

  list->RemoveAll();
  EXPECT_EQ(list->GetCount(), 0);
  EXPECT_TRUE(list->GetRootNode()->children.empty());
  EXPECT_TRUE(list->GetRootNode()->expanded);
  ListNode* again = list->AddNode(Entry("again"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(list->GetItemIndex(again->element), 0);
  EXPECT_TRUE(again->element->IsVisible());
}

}  // namespace
}  // namespace qrv::testing
