// The real program under Xvfb against a platform served over HTTPS: the login, the follow-up visit
// and the game page go over TLS to a certificate of the deployment's own authority; a certificate
// for another host is refused with the login error window; the game page's web process runs in
// the engine's sandbox; a download the page starts leaves no file; the settings file becomes private.

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "e2e/screen.h"
#include "sim/sim_test_support.h"

namespace qrv::e2e {
namespace {

namespace fs = std::filesystem;
using sim::testing::EntriesWithEvent;

// A GET of the simulator's own control over plain HTTP; true on "OK".
bool SimControl(const sim::SimProcess& sim, const std::string& path) {
  CURL* curl = curl_easy_init();
  std::string body;
  const std::string url = sim.base_url() + path;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(
      curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* out) {
        static_cast<std::string*>(out)->append(data, size * count);
        return size * count;
      });
  const bool ok = curl_easy_perform(curl) == CURLE_OK && body == "OK";
  curl_easy_cleanup(curl);
  return ok;
}

std::string Link(const std::string& path) {
  std::error_code ec;
  return fs::read_symlink(path, ec).string();
}

// The process ids whose parent is `parent`.
std::vector<pid_t> Children(pid_t parent) {
  std::vector<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    std::getline(stat, line);
    // "pid (comm) state ppid ...": the name may hold spaces and parentheses, the last ")" ends it.
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    pid_t ppid = 0;
    rest >> state >> ppid;
    if (ppid == parent) children.push_back(static_cast<pid_t>(std::stoi(name)));
  }
  return children;
}

// The first process below `root` whose name starts with `prefix` (0 when none runs).
pid_t DescendantNamed(pid_t root, const std::string& prefix) {
  for (const pid_t child : Children(root)) {
    std::ifstream comm("/proc/" + std::to_string(child) + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind(prefix, 0) == 0) return child;
    if (const pid_t below = DescendantNamed(child, prefix)) return below;
  }
  return 0;
}

// Every regular file below `folder` whose name holds `fragment`.
std::vector<std::string> FilesNamed(const std::string& folder, const std::string& fragment) {
  std::vector<std::string> found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file() && it->path().filename().string().find(fragment) != std::string::npos)
      found.push_back(it->path().string());
  }
  return found;
}

class SecurityE2eTest : public LauncherTest {
 protected:
  void SetUp() override {}  // each test starts its own simulator

  // The simulator over HTTPS with the certificate `name` (signed by the test authority, which the
  // deploy.ini names), and the launcher installed beside it with remembered credentials.
  void StartPlatform(const std::string& name) {
    sim::SimOptions options;
    options.tls_certificate = sim::TestCertificatePath(name + ".pem");
    options.tls_key = sim::TestCertificatePath(name + ".key");
    options.tls_authority = sim::TestCertificatePath("ca.pem");
    ASSERT_NO_FATAL_FAILURE(StartSimulatorAndLauncher(options));
    ASSERT_GT(sim_->tls_port(), 0);
    launcher_->WriteSettings(RememberedAccount());
    // A settings file others could read, as an older copy or one made by hand would be.
    ASSERT_EQ(chmod((launcher_->program_folder() + "/data/systemset.ini").c_str(), 0664), 0);
    launcher_->SetEnv("G_MESSAGES_DEBUG", "zelto_qrv");
    // Leaks are not checked in the program (LauncherProcess): the full stacks of every allocation
    // would only slow its TLS handshakes down.
    launcher_->SetEnv("LSAN_OPTIONS", "fast_unwind_on_malloc=1");
    launcher_->SetEnv("XDG_DOWNLOAD_DIR", launcher_->home() + "/Downloads");
    fs::create_directories(launcher_->home() + "/Downloads");
  }

  // Whether every request the simulator logged with `fragment` came over TLS (and there was one).
  bool OnlyOverTls(const std::string& fragment) const {
    int seen = 0;
    for (const auto& line : sim_->LogLines()) {
      if (line.find(fragment) == std::string::npos) continue;
      if (line.find("\"tls\":true") == std::string::npos) return false;
      ++seen;
    }
    return seen > 0;
  }
};

TEST_F(SecurityE2eTest, HttpsLoginAndGamePageInASandboxWithoutDownloads) {
  ASSERT_NO_FATAL_FAILURE(StartPlatform("localhost"));
  ASSERT_TRUE(SimControl(*sim_, "/__sim/game-download?on=1"));
  ASSERT_NO_FATAL_FAILURE(StartAndWaitForLogin());
  ASSERT_NO_FATAL_FAILURE(WaitForRecommendedServer());
  // The login, the follow-up visit to the site's root and the profile went over TLS.
  EXPECT_EQ(EntriesWithEvent(*sim_, "login_ok").size(), 1u);
  EXPECT_TRUE(OnlyOverTls("\"event\":\"login_ok\""));
  EXPECT_TRUE(OnlyOverTls("\"path\":\"/\""));
  EXPECT_TRUE(OnlyOverTls("getprofile"));
  // The settings file with the remembered login is the player's alone now.
  struct stat info {};
  ASSERT_EQ(stat((launcher_->program_folder() + "/data/systemset.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // The game page loads over TLS with the login's session.
  ASSERT_NO_FATAL_FAILURE(OpenRecommendedServer());
  const std::string session = "PHPSESSID=" + EntriesWithEvent(*sim_, "login_ok").back().Field("session");
  EXPECT_TRUE(WaitFor([&] {
    for (const auto& line : sim_->LogLines()) {
      if (line.find("/joinGame/code/qrv44/gamebarhide/1/") != std::string::npos &&
          line.find(session) != std::string::npos && line.find("\"tls\":true") != std::string::npos)
        return true;
    }
    return false;
  })) << launcher_->output();
  // Its panel frame too: the certificate, once vouched for, holds for the host's subresources.
  EXPECT_TRUE(WaitFor([&] { return OnlyOverTls("/joinGame/panel/qrv44/"); })) << launcher_->output();

  // The page's web process runs in the engine's sandbox: namespaces of its own (mounts, process
  // ids; and users, which bubblewrap makes for every user but root, who needs none to make the
  // others), and a system-call filter.
  pid_t web_process = 0;
  ASSERT_TRUE(
      WaitFor([&] { return (web_process = DescendantNamed(launcher_->pid(), "WebKitWebProces")) != 0; }));
  const auto name_space = [](pid_t pid, const char* kind) {
    return Link("/proc/" + std::to_string(pid) + "/ns/" + kind);
  };
  const std::string tree =
      CommandOutput("ps -o pid,ppid,args --forest -g " + std::to_string(getsid(launcher_->pid())));
  for (const char* kind : {"mnt", "pid"}) {
    ASSERT_FALSE(name_space(launcher_->pid(), kind).empty());
    EXPECT_NE(name_space(web_process, kind), name_space(launcher_->pid(), kind)) << kind << "\n" << tree;
  }
  if (geteuid() != 0) {
    EXPECT_NE(name_space(web_process, "user"), name_space(launcher_->pid(), "user")) << tree;
  }
  std::ifstream status("/proc/" + std::to_string(web_process) + "/status");
  const std::string status_text((std::istreambuf_iterator<char>(status)), std::istreambuf_iterator<char>());
  EXPECT_NE(status_text.find("Seccomp:\t2"), std::string::npos) << status_text;

  // The page clicked its own download link and loaded a file into a frame: both were dropped,
  // noted in the debug output, and no file was saved anywhere in the home folder.
  EXPECT_TRUE(WaitFor([&] {
    const std::string output = launcher_->output();
    return output.find("下载已取消") != std::string::npos &&
           output.find("不显示的内容已忽略") != std::string::npos;
  })) << launcher_->output();
  EXPECT_EQ(FilesNamed(launcher_->home(), "download"), std::vector<std::string>{});
  EXPECT_EQ(FilesNamed(launcher_->program_folder(), "download"), std::vector<std::string>{});
  launcher_->Stop();
}

TEST_F(SecurityE2eTest, ACertificateForAnotherHostIsRefusedWithTheLoginErrorWindow) {
  ASSERT_NO_FATAL_FAILURE(StartPlatform("wrong-host"));
  ASSERT_NO_FATAL_FAILURE(StartAndWaitForLogin());
  auto& automation = launcher_->automation();
  // The automatic login fails: the error window (class "UIClockList") shows over the login card.
  EXPECT_TRUE(WaitFor([&] { return WindowVisible("UIClockList"); }))
      << automation.Windows().line() << launcher_->output();
  // No request got through: the TLS handshake ended before any was sent.
  for (const auto& line : sim_->LogLines()) EXPECT_EQ(line.find("\"tls\":"), std::string::npos) << line;
  launcher_->Stop();
}

}  // namespace
}  // namespace qrv::e2e
