#pragma once
// CFaceDlgUI: the emoticon picker ("facedlg.xml"), a pop-up of a chat window holding one button
// for each of the 24 picker bitmaps in three rows of 11, 11 and 2. A click on a face hands the
// face's name ("130" for 130.bmp) to the chat window, which inserts "emotions/130.gif" into its
// input. The picker hides when it loses the keyboard focus.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace qrv {

// What the picker inserts into: the chat window.
class EmoticonInserter {
 public:
  virtual ~EmoticonInserter() = default;
  virtual void InsertEmoticon(const std::string& name) = 0;
};

class CFaceDlgUI final : public CSkinnedWindow {
 public:
  static constexpr std::array<const char*, 3> kRowNames = {"HorizontalLayoutUI3", "HorizontalLayoutUI5",
                                                           "HorizontalLayoutUI6"};
  static constexpr int kFacesPerRow = 11;
  static constexpr char kTitle[] = "表情";

  explicit CFaceDlgUI(EmoticonInserter& target);

  // Creates the picker as a pop-up of `owner`, sized by its layout, with its bottom-left corner at
  // `bottom_left` (screen), and shows it with the keyboard focus. Null when the window cannot be
  // made (the object is gone then).
  HWND Open(HWND owner, POINT bottom_left);
  // Moves the picker's bottom-left corner to `bottom_left` (kept inside the work area) and shows it.
  void ShowAt(POINT bottom_left);

  // The window class is the one the picker has always had.
  std::string GetWindowClassName() const override { return "UIMainFrame"; }
  void Notify(TNotifyUI& msg) override;

  // How many face buttons were built.
  int built() const { return count_; }
  // The message clock's time when the picker last hid for losing the focus, or -1.
  std::int64_t hidden_by_focus_at() const { return hidden_by_focus_at_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void BuildFaces();

  EmoticonInserter& target_;
  std::vector<std::string> bitmaps_;
  int count_ = 0;
  std::int64_t hidden_by_focus_at_ = -1;
};

}  // namespace qrv
