#pragma once
// The main frame's tabs: one record per tab (the window it shows, the agent of a chat tab,
// whether the record owns its window), and the tab strip items in the toolkit control
// "IContainer". Record i, strip item i and the tag of strip item i always agree; the tab counter
// that numbers new strip items only grows, so names are never reused.
//
// The first tab is the frame's first browser view, whose strip item comes with the layout. Later
// tabs are opened by the frame, which makes their windows and hands them over here.
//
// The selected tab's window is the one shown: selecting a tab's option shows its window and hides
// the others, and closing the shown tab selects (and so shows) the one before it, or the one after
// it when the first tab closes.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_view.h"
#include "ui/ui.h"

namespace qrv {

struct TabRecord {
  HWND hwnd = nullptr;                      // the tab's window
  CMyHtmlView* view = nullptr;              // set when the window is a browser view
  std::unique_ptr<CMyHtmlView> owned_view;  // a browser tab's view, owned by its record
  std::uint64_t agent_id = 0;               // the service agent of a chat tab, else 0
  bool owned = false;                       // closing the tab destroys its window
};

class GameTabs {
 public:
  static constexpr const char* kStripName = "IContainer";
  static constexpr const char* kCloseButtonPrefix = "CloseTabBtn";
  static constexpr int kLaterTabTop = 80;

  explicit GameTabs(CPaintManagerUI& pm) : pm_(pm) {}

  // The first tab: the frame's own view, never destroyed by closing its tab.
  void RecordFirstView(CMyHtmlView* view);

  // Adds a strip item for `caption` before the last control of the strip and activates its option.
  // Returns the option, or null when the layout has no strip.
  COptionUI* AddStripItem(const std::string& caption);

  // The end of every opening: hides every existing tab window that is still a window, then appends
  // `record`, so the new tab's window is the one left visible.
  void Append(TabRecord record);

  // The index of the first strip item (the last control, "NewItemBtn", excluded) whose option shows
  // `caption`.
  std::optional<int> FindItemWithCaption(const std::string& caption) const;
  // Activates the option of strip item `index` (selects it within "group1").
  void ActivateItem(int index);

  // The tab whose strip item holds `option`, or nothing when the option is not a tab's.
  std::optional<std::size_t> TabOfOption(const CControlUI* option) const;
  // The tab whose option is selected, or nothing.
  std::optional<std::size_t> SelectedTab() const;
  // Shows the window of tab `index` and hides every other tab window.
  void ShowOnly(std::size_t index);
  // Hides every tab window (the screen lock lies over the frame).
  void HideAll();

  // Closes the tab whose close button is `button_name`: removes its strip item and its record,
  // hides (or, when the record owns it or it is a chat tab, destroys) its window and renumbers the
  // tags of the items after it. A button that cannot be found, or whose item carries no valid
  // tag, closes nothing. Returns whether a tab was closed.
  bool Close(const std::string& button_name);

  std::size_t count() const { return records_.size(); }
  TabRecord& at(std::size_t index) { return *records_[index]; }
  int counter() const { return counter_; }
  TabRecord* FindByWindow(HWND hwnd);
  TabRecord* FindByAgent(std::uint64_t agent_id);
  // The option of the strip item holding the tab of `hwnd`, or null.
  COptionUI* OptionOfWindow(HWND hwnd);
  // Every tab window that is still a window.
  void ForEachLiveWindow(const std::function<void(TabRecord&)>& action);

  // Builds the attribute lists of a strip item, exactly as the skin expects them.
  static std::string ItemAttributes();
  static std::string OptionAttributes(const std::string& caption, int number);
  static std::string CloseButtonAttributes(int number);

 private:
  CContainerUI* Strip();
  COptionUI* OptionOfItem(int index) const;

  CPaintManagerUI& pm_;
  CContainerUI* strip_ = nullptr;
  int counter_ = 0;
  // Records are held by pointer so that a record found by a caller stays put while others move.
  std::vector<std::unique_ptr<TabRecord>> records_;
};

// Places a tab's window (frame client coordinates); a browser view fits its page to it.
void MoveTabWindow(TabRecord& record, const RECT& rect);

}  // namespace qrv
