#pragma once
// The alarm list ("clocklist.xml", window class "UIClockList"): the stored alarms as rows of the
// friends list "friends" (logo = the alarm's number, nickname = its time value, description = its
// text, note = its repeat word), a button to set a new alarm ("bnset") and one to close ("bnclose").
//
// Each row's remove button carries the row's time value as its name (friends_list.h), so a click
// on any named control removes the rows of that name from the list. Only the list changes: the
// store keeps the alarm, and the next list shows it again.
//
// The main frame makes a new list each time the player asks for one and destroys the one before;
// "bnclose" and "bnset" only hide it. The list owns the alarm editor it opened (a pop-up of the
// main frame): the editor goes with the list, so hidden editors do not pile up.

#include <string>

#include "lists/builder_callback.h"
#include "lists/friends_list.h"
#include "tools/alarm_store.h"
#include "ui/ui.h"

namespace qrv {

class CClockManagerUI;

class CClockListUI final : public CSkinnedWindow {
 public:
  // The list's right edge keeps this far inside the work area's right edge.
  static constexpr int kRightMargin = 50;

  explicit CClockListUI(std::string store_path);

  // Creates the list as a pop-up of `main_frame` with its top-left corner at `at` (screen), sized
  // by its layout, moved left when it would cross the work area's right edge, filled from the store
  // and shown. Null when the window cannot be made (the object is gone then).
  HWND Open(HWND main_frame, POINT at);

  // Empties the list and adds a row for every stored alarm.
  void LoadList();
  // The editor this list opened, or null.
  HWND editor_window() const;

  std::string GetWindowClassName() const override { return "UIClockList"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  void OnWindowGone() override;

 private:
  void KeepInsideWorkArea();
  void RemoveRowsNamed(const std::string& name);
  void OpenEditor();

  AlarmStore store_;
  CDialogBuilderCallbackEx builder_callback_;
  CFriendsUI* friends_ = nullptr;
  CClockManagerUI* editor_ = nullptr;
  HWND editor_hwnd_ = nullptr;
};

}  // namespace qrv
