// The main frame's tab records and tab strip.

#include "frame/game_tabs.h"

#include <cstdio>

#include "platform/debug_sink.h"

namespace qrv {
namespace {

constexpr std::uintptr_t kNoTag = static_cast<std::uintptr_t>(-1);

std::string Format(const char* format, int number, const std::string& text) {
  char line[512];
  std::snprintf(line, sizeof line, format, number, text.c_str());
  return line;
}

}  // namespace

void MoveTabWindow(TabRecord& record, const RECT& rect) {
  if (record.view != nullptr) {
    record.view->MoveWindow(rect);
  } else {
    SetWindowPos(record.hwnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER);
  }
}

void GameTabs::RecordFirstView(CMyHtmlView* view) {
  auto record = std::make_unique<TabRecord>();
  record->hwnd = view->GetHWND();
  record->view = view;
  records_.push_back(std::move(record));
}

CContainerUI* GameTabs::Strip() {
  if (strip_ == nullptr) {
    strip_ = dynamic_cast<CContainerUI*>(pm_.FindControl(kStripName));
  }
  return strip_;
}

std::string GameTabs::ItemAttributes() { return "maxwidth=\"174\" "; }

std::string GameTabs::OptionAttributes(const std::string& caption, int number) {
  // Built to its length: a caption of any length keeps every attribute after it intact.
  const std::string n = std::to_string(number);
  const std::string text = caption.empty() ? "新页面" + n : caption;
  return " float=\"false\" group=\"group1\" text=\"" + text + "\" name=\"page" + n +
         "\" height=\"30\" maxwidth=\"174\" "
         "normalimage=\"file='tabitem.png' source='0,0,174,32'\" "
         "hotimage=\"file='tabitem.png' source='174,0,348,32'\" "
         "pushedimage=\"file='tabitem.png' source='348,0,522,32'\" "
         "selectedimage=\"file='tabitem.png' source='348,0,522,32'\" textalign=\"center\" ";
}

std::string GameTabs::CloseButtonAttributes(int number) {
  char list[512];
  std::snprintf(list, sizeof list,
                "name=\"CloseTabBtn%d\" float=\"true\" normalimage=\"tab_close_Crop1.png\" "
                "hotimage=\"tab_close_Crop1.png\" pushedimage=\"tab_close_Crop3.png\" bordersize=\"0\" "
                "pos=\"-24,12,-12,24\" bordercolor=\"#FF000000\" width=\"12\" height=\"12\"",
                number);
  return list;
}

COptionUI* GameTabs::AddStripItem(const std::string& caption) {
  CContainerUI* strip = Strip();
  if (strip == nullptr) return nullptr;
  const int number = ++counter_;

  auto* option = new COptionUI;
  // A caption comes from other programs too (a docked window's title): one holding a double quote
  // would end the text attribute early and inject attributes of its own, so such a caption is set
  // as plain text after the list.
  const bool quoted = caption.find('"') != std::string::npos;
  option->ApplyAttributeList(OptionAttributes(quoted ? "-" : caption, number));
  if (quoted) option->SetText(caption);
  auto* close = new CButtonUI;
  close->ApplyAttributeList(CloseButtonAttributes(number));
  auto* item = new CHorizontalLayoutUI;
  item->ApplyAttributeList(ItemAttributes());
  item->SetName(Format("标签页%d", number, ""));
  item->Add(option);
  item->Add(close);

  const int c = strip->GetCount();
  const int at = c > 0 ? c - 1 : 0;
  item->SetTag(static_cast<std::uintptr_t>(at));
  strip->AddAt(item, at);
  option->Activate();
  return option;
}

void GameTabs::Append(TabRecord record) {
  for (auto& existing : records_) {
    if (existing->hwnd != nullptr && IsWindow(existing->hwnd)) ShowWindow(existing->hwnd, SW_HIDE);
  }
  records_.push_back(std::make_unique<TabRecord>(std::move(record)));
}

COptionUI* GameTabs::OptionOfItem(int index) const {
  if (strip_ == nullptr || index < 0 || index >= strip_->GetCount()) return nullptr;
  auto* item = dynamic_cast<CContainerUI*>(strip_->GetItemAt(index));
  if (item == nullptr) return nullptr;
  for (int i = 0; i < item->GetCount(); ++i) {
    if (auto* option = dynamic_cast<COptionUI*>(item->GetItemAt(i))) return option;
  }
  return nullptr;
}

std::optional<int> GameTabs::FindItemWithCaption(const std::string& caption) const {
  if (strip_ == nullptr) {
    const_cast<GameTabs*>(this)->Strip();
    if (strip_ == nullptr) return std::nullopt;
  }
  for (int i = 0; i + 1 < strip_->GetCount(); ++i) {
    COptionUI* option = OptionOfItem(i);
    if (option != nullptr && option->GetText() == caption) return i;
  }
  return std::nullopt;
}

void GameTabs::ActivateItem(int index) {
  Strip();
  if (COptionUI* option = OptionOfItem(index)) option->Activate();
}

std::optional<std::size_t> GameTabs::TabOfOption(const CControlUI* option) const {
  if (option == nullptr || strip_ == nullptr) return std::nullopt;
  const CControlUI* item = option->GetParent();
  if (item == nullptr || item->GetParent() != strip_) return std::nullopt;
  // The item's tag is its tab's index; the last control of the strip ("NewItemBtn") is no tab.
  const std::uintptr_t tag = item->GetTag();
  if (tag == kNoTag || tag >= records_.size()) return std::nullopt;
  return static_cast<std::size_t>(tag);
}

std::optional<std::size_t> GameTabs::SelectedTab() const {
  if (strip_ == nullptr) const_cast<GameTabs*>(this)->Strip();
  if (strip_ == nullptr) return std::nullopt;
  for (int i = 0; i + 1 < strip_->GetCount(); ++i) {
    COptionUI* option = OptionOfItem(i);
    if (option != nullptr && option->IsSelected()) return TabOfOption(option);
  }
  return std::nullopt;
}

void GameTabs::ShowOnly(std::size_t index) {
  if (index >= records_.size()) return;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    const HWND hwnd = records_[i]->hwnd;
    if (i != index && hwnd != nullptr && IsWindow(hwnd)) ShowWindow(hwnd, SW_HIDE);
  }
  const HWND shown = records_[index]->hwnd;
  if (shown != nullptr && IsWindow(shown)) ShowWindow(shown, SW_SHOW);
}

void GameTabs::HideAll() {
  ForEachLiveWindow([](TabRecord& record) { ShowWindow(record.hwnd, SW_HIDE); });
}

bool GameTabs::Close(const std::string& button_name) {
  CContainerUI* strip = Strip();
  CControlUI* button = pm_.FindControl(button_name);
  if (strip == nullptr || button == nullptr || button->GetParent() == nullptr) return false;
  const std::uintptr_t tag = button->GetParent()->GetTag();
  // A tag that names no record (it cannot happen while the invariant holds) closes nothing rather
  // than touching a record that is not there.
  if (tag == kNoTag || tag >= records_.size() || static_cast<int>(tag) >= strip->GetCount()) return false;
  const int t = static_cast<int>(tag);
  const bool visible = records_[tag]->hwnd != nullptr && IsWindow(records_[tag]->hwnd) &&
                       IsWindowVisible(records_[tag]->hwnd);

  strip->RemoveAt(t);
  TabRecord& record = *records_[tag];
  const bool live = record.hwnd != nullptr && IsWindow(record.hwnd);
  if (live) ShowWindow(record.hwnd, SW_HIDE);
  // The tab before takes over (selecting its option shows its window); when the first tab closes,
  // the one after it does, so a window stays shown while there are tabs. Until the records are
  // renumbered below, the items keep their old tags, so the option still names the right record.
  if ((!live || visible) && records_.size() > 1) {
    const int next = t > 0 ? t - 1 : 0;  // the strip's position of the tab that takes over
    ActivateItem(next);
    ShowOnly(static_cast<std::size_t>(t > 0 ? t - 1 : t + 1));  // also when its option was selected already
  }
  if (record.owned_view != nullptr) {
    record.owned_view.reset();  // destroys the view's window
  } else if (record.agent_id != 0 && live) {
    DestroyWindow(record.hwnd);
  }
  records_.erase(records_.begin() + t);

  for (int i = t; i + 1 < strip->GetCount(); ++i) {
    CControlUI* item = strip->GetItemAt(i);
    item->SetTag(item->GetTag() - 1);
    OutputDebugString(Format("*********序号:%d，标识:%s\r\n", i, item->GetName()));
  }
  for (int i = 0; i < strip->GetCount(); ++i) {
    OutputDebugString(
        Format("-------------------序号:%d，标识:%s---------------\r\n", i, strip->GetItemAt(i)->GetName()));
  }
  return true;
}

TabRecord* GameTabs::FindByWindow(HWND hwnd) {
  for (auto& record : records_) {
    if (record->hwnd == hwnd) return record.get();
  }
  return nullptr;
}

TabRecord* GameTabs::FindByAgent(std::uint64_t agent_id) {
  for (auto& record : records_) {
    if (record->agent_id == agent_id) return record.get();
  }
  return nullptr;
}

COptionUI* GameTabs::OptionOfWindow(HWND hwnd) {
  Strip();
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (records_[i]->hwnd == hwnd) return OptionOfItem(static_cast<int>(i));
  }
  return nullptr;
}

void GameTabs::ForEachLiveWindow(const std::function<void(TabRecord&)>& action) {
  for (auto& record : records_) {
    if (record->hwnd != nullptr && IsWindow(record->hwnd)) action(*record);
  }
}

}  // namespace qrv
