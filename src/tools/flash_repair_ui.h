#pragma once
// CFlashRepairUI: the flash repair window ("flashrepair.xml"), opened by the More panel's
// "bnflashrepair". "bnok" runs a short timed progress (timer 1, every 10 ms, 5 per tick: 5 to 95)
// and then reports completion ("TextUI3", "bncancle" reading "确定"); it changes nothing on the
// system. "bnquxiao" stops and resets at once; "bnclose", "bncancle" and "bnblack" only hide the
// window, and a run finishing while hidden resets it.
//
// Made once by the More panel as a pop-up of the main frame; it deletes itself with its window.

#include "ui/ui.h"

namespace qrv {

class CFlashRepairUI final : public CSkinnedWindow {
 public:
  static constexpr std::uintptr_t kTimer = 1;
  static constexpr unsigned kTickMs = 10;
  static constexpr int kStep = 5;
  static constexpr const char* kDoneText = "确定";
  static constexpr const char* kCancelText = "取消";
  static constexpr int kDragBandWidth = 307;
  static constexpr int kDragBandHeight = 30;

  CFlashRepairUI();

  std::string GetWindowClassName() const override { return "UIFlashRepair"; }
  void Notify(TNotifyUI& msg) override;

  // "bnok": starts a run.
  void Start();
  // Back to idle: the description, an empty bar, "bnok" and "bncancle" reading "取消".
  void Reset();
  // 0 when idle; 5, 10, ... while a run goes on.
  int steps() const { return steps_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

 private:
  void Tick();

  CProgressUI* bar_ = nullptr;
  CControlUI* description_ = nullptr;  // "TextUI2"
  CControlUI* result_ = nullptr;       // "TextUI3"
  CButtonUI* start_ = nullptr;         // "bnok"
  CButtonUI* cancel_ = nullptr;        // "bncancle"
  CButtonUI* stop_ = nullptr;          // "bnquxiao"
  CButtonUI* background_ = nullptr;    // "bnblack"
  int steps_ = 0;
};

}  // namespace qrv
