#pragma once
// Desktop notifications without a desktop: every one is kept, in order, for a test to read.

#include <vector>

#include "platform/desktop_notifier.h"

namespace qrv {

class RecordingNotifier final : public DesktopNotifier {
 public:
  // Installs a recording notifier for the process and returns it (owned by DesktopNotifier).
  static RecordingNotifier& Install();

  void Notify(const DesktopNotification& notification) override { sent_.push_back(notification); }
  const std::vector<DesktopNotification>& sent() const { return sent_; }

 private:
  RecordingNotifier() = default;
  std::vector<DesktopNotification> sent_;
};

}  // namespace qrv
