#pragma once
// The multi-account page ("loginpl.xml"): a child window filling a tab of the main frame, with
// three steps in "TabLayoutUI1" (introduction, account tiles, closing note). Every click on a
// control named "ButtonUI2" appends an account tile to "HorizontalLayoutUI41"; each tile's own
// close button carries that name too, so it appends another tile. The page logs nobody in.
//
// The main frame creates it with CreatePage and registers it as the tab's page; the object
// deletes itself with its window.

#include <string>

#include "ui/ui.h"

namespace qrv {

class CBatchLoginUI final : public CSkinnedWindow {
 public:
  static constexpr const char* kTabTitle = "多账号登录";
  // The page starts this far below the top of the work area, under the frame's top band.
  static constexpr int kTopBand = 80;

  // The attribute lists each account tile is built from, exactly as applied (and logged).
  static constexpr const char* kPictureAttributes =
      R"(name="ControlUI2" float="true" pos="0,0,0,0" width="50" maxwidth="50" height="50" bkimage="jiong.png")";
  static constexpr const char* kCheckBoxAttributes =
      R"(name="OptionUI1" float="true" pos="0,0,0,0" width="12" height="12" textcolor="#FF000000" )"
      R"(disabledtextcolor="#FFA7A6AA" align="center" normalimage="file='CheckBox.png' source='0,0,13,13'" )"
      R"(hotimage="file='CheckBox.png' source='13,0,26,13'" selectedimage="file='CheckBox.png' source='13,0,26,13'")";
  static constexpr const char* kCloseButtonAttributes =
      R"(name="ButtonUI2" float="true" normalimage="tab_close_Crop1.png" hotimage="tab_close_Crop2.png" )"
      R"(pushedimage="tab_close_Crop3.png" bordersize="0" pos="-16,0,-1,15" bordercolor="#FF000000" width="15" height="15")";
  static constexpr const char* kCaptionAttributes =
      R"(name="TextUI2" text="心跳包发送成功" float="true" pos="2,50,0,0" width="50" height="11" )"
      R"(textpadding="2,0,2,0" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" align="wrap")";
  static constexpr const char* kTileAttributes = R"(name="HorizontalLayoutUI51" maxwidth="50")";

  CBatchLoginUI() : CSkinnedWindow("loginpl.xml", Lifetime::kDeletesItself) {}

  // The page's place for a work area: x = its left edge, y = 80, width = its right edge, height =
  // its bottom edge - 80 (in the main frame's client coordinates).
  static RECT PageRect(const RECT& work_area);
  // Creates the page as a visible child of the main frame at `rect`. Null on failure (the object
  // has then gone with its window).
  HWND CreatePage(HWND main_frame, const RECT& rect);

  // Appends one account tile to "HorizontalLayoutUI41"; false (nothing added) when that container
  // is missing or a part of the tile cannot be made.
  bool AppendAccountTile();

  CTabLayoutUI* steps() const { return steps_; }

  std::string GetWindowClassName() const override { return "UIBatchLoginFrame"; }
  void Notify(TNotifyUI& msg) override;

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void SelectStep(int step);

  CTabLayoutUI* steps_ = nullptr;
};

}  // namespace qrv
