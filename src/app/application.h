#pragma once
// The application object: start-up in its fixed order, then the message loop.

#include <functional>
#include <memory>

#include "app/app_services.h"

namespace qrv {

class CWindowWnd;

class CMyWebApp {
 public:
  // Makes the first window's object (the login window); null when it cannot be made.
  using FirstWindowFactory = std::function<CWindowWnd*(AppServices&)>;

  CMyWebApp(std::string program_path, FirstWindowFactory first_window);

  // Runs start-up and the message loop. Returns false in every case, as the framework's
  // instance initialisation does, so that no second loop runs; the exit code is exit_code().
  bool InitInstance();

  int exit_code() const { return exit_code_; }
  AppServices* services() { return services_.get(); }

  // The steps of start-up that need no window, in order; InitInstance calls it. Exposed for tests.
  void PrepareServices();

 private:
  std::string program_path_;
  FirstWindowFactory first_window_;
  std::unique_ptr<AppServices> services_;
  int exit_code_ = 0;
};

inline constexpr const char* kShortcutName = "玄岚城登陆器";
inline constexpr const char* kLoginWindowTitle = "玄岚城";

}  // namespace qrv
