// The paged list (ten lines of two servers) and its paging bar.

#include <algorithm>

#include "servers/attribute_format.h"
#include "servers/server_list_ui.h"
#include "servers/server_lookup.h"

namespace qrv {

void CServerListUI::FillList() {
  for (int line = 1; line <= kPagedLines; ++line) {
    if (CContainerUI* container = FindControl<CContainerUI>(FormatText("serline%d", line))) container->RemoveAll();
  }
  const PageSlice slice = SectionPage(setup_.servers.size(), section_, page_);
  for (std::size_t i = 0; i < slice.count; ++i) {
    AddPagedItem(slice.first + i, FindControl<CContainerUI>(FormatText("serline%d", static_cast<int>(i / 2 + 1))));
  }
}

void CServerListUI::BuildPagingBar() {
  const int pages = SectionPageCount(setup_.servers.size(), section_);
  if (CContainerUI* bar = FindControl<CContainerUI>("fangyi")) {
    bar->RemoveAll();
    for (int i = 0; i <= pages + 1; ++i) {
      auto* button = new CButtonUI;
      auto* holder = new CHorizontalLayoutUI;
      if (i == 0) {
        button->ApplyAttributeList(
            "name=\"pagepre\" float=\"true\" pos=\"0,10,0,0\" width=\"45\" height=\"21\" "
            "textcolor=\"#00008D90\" disabledtextcolor=\"#FFA7A6AA\" align=\"right\" "
            "normalimage=\"file='ser.png' source='0,361,45,382'\" ");
        holder->ApplyAttributeList("maxwidth=\"50\" ");
      } else if (i <= pages) {
        button->ApplyAttributeList(
            FormatText("name=\"page%d\" float=\"true\" pos=\"0,10,0,0\" width=\"21\" height=\"20\" "
                       "textcolor=\"#00FFFFFF\" disabledtextcolor=\"#FFA7A6AA\" align=\"center\" "
                       "normalimage=\"file='ser.png' source='0,403,21,423'\" "
                       "hotimage=\"file='ser.png'  source='0,424,21,444'\" ",
                       i));
        button->SetText(FormatText("%d", i));
        holder->ApplyAttributeList("maxwidth=\"26\" ");
      } else {
        button->ApplyAttributeList(
            "name=\"pagenext\" float=\"true\" pos=\"0,10,0,0\" width=\"45\" height=\"21\" "
            "textcolor=\"#00008D90\" disabledtextcolor=\"#FFA7A6AA\" align=\"center\" "
            "normalimage=\"file='ser.png' source='0,382,45,403' \" ");
        holder->ApplyAttributeList("maxwidth=\"50\" ");
      }
      holder->Add(button);
      bar->Add(holder);
    }
  }
  // The spacer keeps a short bar from drifting: it narrows by one button per page shown.
  if (CControlUI* spacer = FindControl("HorizontalLayoutUI8"))
    spacer->SetMaxWidth(PagingSpacerWidth(pages));
}

void CServerListUI::PreviousPage() {
  page_ = std::max(page_ - 1, 1);
  FillList();
}

void CServerListUI::NextPage() {
  // On a section without servers this is page 0, which shows nothing.
  page_ = std::min(page_ + 1, SectionPageCount(setup_.servers.size(), section_));
  FillList();
}

void CServerListUI::ShowPage(int page) {
  page_ = page;
  FillList();
}

void CServerListUI::ShowSection(int section) {
  section_ = section;
  page_ = 1;
  FillList();
  BuildPagingBar();
}

}  // namespace qrv
