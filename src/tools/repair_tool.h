#pragma once
// CRepairTool: the cache cleaner ("repairtoolui.xml"). Idle it lists what it does ("tishi1" to
// "tishi3") with "bnok" (start) and "bncanel"; "bnok" starts a clean-up run (cache_cleaner.h)
// that reports its progress to this window as kMsgCleanProgress; above 98 it reads "清理完成" and
// offers "bnok1". Hiding the window does not stop a run. The More panel and the main frame each
// keep a cleaner of their own; each run reports to the window that started it, and a window starts
// no second run while its first is going.
//
// Made once by its opener as a pop-up of the main frame, then reset and shown again; it deletes
// itself with its window, stopping its run's walk and waiting for it.

#include <array>
#include <memory>

#include "tools/cache_cleaner.h"
#include "ui/ui.h"

namespace qrv {

// Posted by a clean-up run to its window: wparam = progress 0 to 100.
inline constexpr UINT kMsgCleanProgress = 2024;

class CRepairTool final : public CSkinnedWindow {
 public:
  static constexpr const char* kFinishedText = "清理完成";
  static constexpr int kDragBandWidth = 357;
  static constexpr int kDragBandHeight = 30;

  explicit CRepairTool(CacheTargets targets);

  std::string GetWindowClassName() const override { return "UIRepairToolFrame"; }
  void Notify(TNotifyUI& msg) override;

  // Back to idle, as its opener shows it again: tips and "bnok"/"bncanel" shown, the bar empty
  // and hidden, no result. A run still going goes on.
  void Reset();
  // "bnok": the running face; a new run unless one of this window is still going.
  void StartCleanUp();

  bool running() const { return run_ != nullptr && !run_->finished(); }
  bool finished() const { return finished_; }
  int progress() const { return progress_; }

 protected:
  LRESULT OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void OnWindowGone() override;

 private:
  void ShowProgress(int value);
  // The idle face (tips, "bnok", "bncanel") or the running one.
  void ShowIdleFace(bool idle);

  CacheTargets targets_;
  std::shared_ptr<CacheCleanRun> run_;
  CProgressUI* bar_ = nullptr;
  CLabelUI* result_ = nullptr;         // "TextUI1"
  std::array<CControlUI*, 3> tips_{};  // "tishi1" to "tishi3"
  CButtonUI* start_ = nullptr;         // "bnok"
  CButtonUI* cancel_ = nullptr;        // "bncanel"
  CButtonUI* done_ = nullptr;          // "bnok1"
  int progress_ = 0;                   // as shown; 0 after a reset
  int run_progress_ = 0;               // as the current run last reported it
  bool finished_ = false;
};

}  // namespace qrv
