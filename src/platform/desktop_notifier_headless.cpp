#include "platform/desktop_notifier_headless.h"

namespace qrv {
namespace {

std::unique_ptr<DesktopNotifier>& InstalledNotifier() {
  static std::unique_ptr<DesktopNotifier> notifier;
  return notifier;
}

}  // namespace

void DesktopNotifier::Install(std::unique_ptr<DesktopNotifier> notifier) {
  InstalledNotifier().reset();
  InstalledNotifier() = std::move(notifier);
}

DesktopNotifier& DesktopNotifier::Get() {
  if (!InstalledNotifier()) RecordingNotifier::Install();
  return *InstalledNotifier();
}

RecordingNotifier& RecordingNotifier::Install() {
  auto* notifier = new RecordingNotifier();
  DesktopNotifier::Install(std::unique_ptr<DesktopNotifier>(notifier));
  return *notifier;
}

}  // namespace qrv
