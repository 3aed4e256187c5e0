#include "lists/lists_test_support.h"

#include "ui/resources/skin_archive.h"

namespace qrv::testing {

const char kFriendRowTemplate[] = R"xml(<ListContainerElement height="32" bkcolor="#FFF4F6FA">
  <HorizontalLayout name="logo_container" width="32" inset="4,4,4,4">
    <Button name="logo" width="24" height="24" bkcolor="#FF3FBFA0" textcolor="#FFFFFFFF" align="center"/>
  </HorizontalLayout>
  <Label name="nickname" width="120" text="(nickname)"/>
  <Label name="description" width="50" text="(none)" textcolor="#FF1E5EBF"/>
  <Label name="LabelUI1"/>
  <Button name="ButtonUI5" width="24" text="×" textcolor="#FFC03030"/>
</ListContainerElement>)xml";

void ListsTest::SetUp() {
  UiTest::SetUp();
  ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
  ui::SkinResources::AddFile(CFriendsUI::kRowTemplate, kFriendRowTemplate);
}

std::vector<std::string> RowNames(const CTreeListUI& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.GetCount(); ++i) {
    CControlUI* row = list.GetItemAt(i);
    const ListNode* node = list.NodeOf(row);
    const std::string name = node == nullptr ? "-" : node->text;
    names.push_back(row->IsVisible() ? name : "[" + name + "]");
  }
  return names;
}

CControlUI* Part(CControlUI* row, const std::string& name) {
  return row->GetManager() != nullptr ? row->GetManager()->FindSubControlByName(row, name) : nullptr;
}

}  // namespace qrv::testing
