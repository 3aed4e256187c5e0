#pragma once
// A screenshot through the desktop portal (org.freedesktop.portal.Screenshot on the session bus),
// the way a Wayland session lets a program capture the screen: the desktop shows its own
// interactive capture, and answers with the picture's file. Everything runs on the main loop.

#include <functional>
#include <memory>
#include <string>

namespace qrv::capture {

struct PortalAnswer {
  enum class Outcome { kTaken, kCancelled, kFailed };
  Outcome outcome = Outcome::kFailed;
  std::string uri;    // the picture's file, when taken
  std::string error;  // why not, when failed
};

class PortalScreenshot {
 public:
  using Done = std::function<void(const PortalAnswer&)>;

  // Asks the portal for an interactive screenshot; `done` is called once, on the main loop.
  static void Request(Done done);

  struct Call;
};

}  // namespace qrv::capture
