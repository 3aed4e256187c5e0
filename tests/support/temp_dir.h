#pragma once
// A fresh folder under the system's temporary directory for one test, removed with everything in
// it at the end. Tests never touch the user's home.

#include <glib.h>

#include <filesystem>
#include <string>

namespace qrv::test {

class TempDir {
 public:
  TempDir() {
    g_autofree gchar* made = g_dir_make_tmp("qrv-test-XXXXXX", nullptr);
    path_ = made != nullptr ? made : "";
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace qrv::test
