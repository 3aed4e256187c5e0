#pragma once
// The application object: start-up in its fixed order, then the message loop.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_services.h"

namespace qrv {

class CWindowWnd;

class CMyWebApp {
 public:
  // Makes the first window's object (the login window); null when it cannot be made.
  using FirstWindowFactory = std::function<CWindowWnd*(AppServices&)>;

  CMyWebApp(ProgramPaths paths, FirstWindowFactory first_window);

  // Runs start-up and the message loop. Returns false in every case, as the framework's
  // instance initialisation does, so that no second loop runs; the exit code is exit_code().
  bool InitInstance();

  int exit_code() const { return exit_code_; }
  AppServices* services() { return services_.get(); }

  // The steps of start-up that need no window, in order; InitInstance calls it. Exposed for tests.
  void PrepareServices();

 private:
  ProgramPaths paths_;
  FirstWindowFactory first_window_;
  std::vector<std::string> unusable_folders_;  // folders that could not be made or written
  std::unique_ptr<AppServices> services_;
  int exit_code_ = 0;
};

inline constexpr const char* kLoginWindowTitle = "玄岚城";
// Told once at start-up, followed by the folders (one a line) that cannot be made or written.
inline constexpr const char* kUnusableFoldersText = "以下文件夹无法创建或写入，设置、账号和闹钟将无法保存：";

// The text of that message for `folders`.
std::string UnusableFoldersText(const std::vector<std::string>& folders);

}  // namespace qrv
