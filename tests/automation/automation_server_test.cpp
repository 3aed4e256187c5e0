// The server on a real Unix socket, driven from a client thread while this thread turns GLib's
// main context as the program's loop does. Every wait is bounded.

#include "automation/automation_server.h"

#include <glib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "automation_test_support.h"
#include "support/temp_dir.h"
#include "ui/controls/edit.h"

namespace qrv::testing {
namespace {

using qrv::test::TempDir;

// Turns the default main context until `done` holds or the bound passes; returns `done`.
bool TurnMainContextUntil(const std::function<bool()>& done,
                          std::chrono::seconds bound = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!done() && std::chrono::steady_clock::now() < deadline) g_main_context_iteration(nullptr, FALSE);
  if (!done()) return false;
  return true;
}

class AutomationServerTest : public AutomationTest {
 protected:
  void TearDown() override {
    // Whatever a test left open ends before the next one starts.
    TurnMainContextUntil([] { return AutomationServer::OpenConnections() == 0; });
    AutomationTest::TearDown();
  }
  TempDir dir_;
};

TEST_F(AutomationServerTest, TheSocketIsPrivateReplacesAStaleOneAndGoesAway) {
  const std::string path = dir_.File("auto.sock");
  // A folder other users may enter is refused, and nothing is made there.
  const std::string open_folder = dir_.File("open");
  ASSERT_EQ(mkdir(open_folder.c_str(), 0755), 0);
  std::string error;
  EXPECT_EQ(AutomationServer::Listen(open_folder + "/auto.sock", &error), nullptr);
  EXPECT_NE(error.find("open to other users"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_empty(open_folder));
  {
    // The socket's mode does not depend on the umask the program was started with.
    const mode_t previous = umask(0);
    auto first = AutomationServer::Listen(path);
    umask(previous);
    ASSERT_NE(first, nullptr);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << "removed on destruction";

  // A socket left behind by a run that crashed is taken over.
  auto stale = AutomationServer::Listen(path);
  ASSERT_NE(stale, nullptr);
  const std::string kept = path + ".kept";
  ASSERT_EQ(rename(path.c_str(), kept.c_str()), 0);  // the crashed run's file, nobody listening there
  stale.reset();
  ASSERT_EQ(rename(kept.c_str(), path.c_str()), 0);
  auto server = AutomationServer::Listen(path, &error);
  ASSERT_NE(server, nullptr) << error;
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // A live server is not pushed aside, and neither is a file that is no socket.
  EXPECT_EQ(AutomationServer::Listen(path, &error), nullptr);
  EXPECT_NE(error.find("another program"), std::string::npos) << error;
  const std::string document = dir_.File("notes.txt");
  std::ofstream(document) << "keep me";
  EXPECT_EQ(AutomationServer::Listen(document, &error), nullptr);
  EXPECT_TRUE(std::filesystem::is_regular_file(document));
  EXPECT_EQ(AutomationServer::Listen(dir_.File(std::string(200, 'x')), &error), nullptr);
  EXPECT_NE(error.find("too long"), std::string::npos);
}

TEST_F(AutomationServerTest, StartsOnlyWhenTheVariableNamesASocket) {
  unsetenv("QRV_AUTOMATION");
  EXPECT_EQ(AutomationServer::StartFromEnvironment(), nullptr);
  setenv("QRV_AUTOMATION", "", 1);
  EXPECT_EQ(AutomationServer::StartFromEnvironment(), nullptr);
  const std::string path = dir_.File("env.sock");
  setenv("QRV_AUTOMATION", path.c_str(), 1);
  auto server = AutomationServer::StartFromEnvironment();
  unsetenv("QRV_AUTOMATION");
  ASSERT_NE(server, nullptr);
  EXPECT_EQ(server->socket_path(), path);
}

TEST_F(AutomationServerTest, AClientDrivesTheProgramThroughTheSocket) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("玄岚城");
  const std::string path = dir_.File("drive.sock");
  auto server = AutomationServer::Listen(path);
  ASSERT_NE(server, nullptr);

  auto* password = static_cast<CEditUI*>(window.pm.FindControl("edusername"));
  ASSERT_NE(password, nullptr);
  std::atomic<bool> finished{false};
  std::int64_t found = 0;
  AutomationAnswer click, junk, control, after_junk, masked_echo, masked_control, masked_list;
  std::thread client_thread([&] {
    AutomationClient client(path, 10000);
    found = client.WaitForWindow("UILogIn", 10000);
    click = client.Click("UILogIn", "login");
    junk = client.Send("{\"cmd\":\"windows\"\r");  // a broken line, with a CR as some clients send
    after_junk = client.SetText("UILogIn", "edusername", "机器人");
    control = client.Control("UILogIn", "edusername");
    finished = true;
  });
  ASSERT_TRUE(TurnMainContextUntil([&] { return finished.load(); }));
  client_thread.join();
  // The same field as a password field: it reads as it is drawn, its echo too.
  password->SetPasswordMode(true);
  finished = false;
  client_thread = std::thread([&] {
    AutomationClient client(path, 10000);
    masked_echo = client.SetText("UILogIn", "edusername", "abc123");
    masked_control = client.Control("UILogIn", "edusername");
    masked_list = client.Send(R"({"cmd":"controls","class":"UILogIn"})");
    finished = true;
  });
  const bool done = TurnMainContextUntil([&] { return finished.load(); });
  client_thread.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(found, window.Id());
  EXPECT_TRUE(click.ok()) << click.line();
  EXPECT_EQ(window.NotesOf("click"), (std::vector<std::string>{"click:login"}));
  EXPECT_FALSE(junk.ok());
  EXPECT_NE(junk.error().find("bad JSON"), std::string::npos) << junk.line();
  EXPECT_TRUE(after_junk.ok()) << "the connection survives a bad line";
  EXPECT_EQ(control.String("text"), "机器人");
  EXPECT_EQ(masked_echo.String("text"), "●●●●●●") << masked_echo.line();
  EXPECT_EQ(masked_control.String("text"), "●●●●●●") << masked_control.line();
  EXPECT_TRUE(masked_control.Bool("password"));
  EXPECT_EQ(masked_list.line().find("abc123"), std::string::npos) << masked_list.line();
  EXPECT_NE(masked_list.line().find("●●●●●●"), std::string::npos) << masked_list.line();
  EXPECT_EQ(password->GetText(), "abc123") << "the field itself keeps the password";
}

// A line is refused once more than 1 MiB has come without a line end, without waiting for the
// rest: the client gets its answer while it is still sending, and the connection ends.
TEST_F(AutomationServerTest, AnOverlongLineIsRefusedBeforeItEnds) {
  const std::string path = dir_.File("long.sock");
  auto server = AutomationServer::Listen(path);
  ASSERT_NE(server, nullptr);
  std::atomic<bool> finished{false};
  std::string answer;
  bool hung_up = false;
  std::thread client_thread([&] {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      const std::string start = R"({"cmd":"ping","pad":")";
      const std::string body = start + std::string((1 << 20) + 1 - start.size(), 'x');  // no line end
      (void)!write(fd, body.data(), body.size());
      timeval bound{20, 0};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
      char buffer[256];
      for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
          hung_up = n == 0;
          break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
      }
    }
    close(fd);
    finished = true;
  });
  const bool done = TurnMainContextUntil([&] { return finished.load(); });
  client_thread.join();
  ASSERT_TRUE(done);
  EXPECT_EQ(answer, "{\"ok\":false,\"error\":\"request line too long\"}\n");
  EXPECT_TRUE(hung_up);
}

// A click whose handler runs a modal loop is answered before that loop starts, and the client's
// next command (on the same connection) is what ends it.
TEST_F(AutomationServerTest, AClickThatOpensAModalLoopIsAnsweredAndTheLoopCanBeEnded) {
  LayoutWindow window("UILogIn", kPanelLayout);
  window.Open("login");
  GMainLoop* modal = g_main_loop_new(nullptr, FALSE);
  bool modal_ended = false;
  bool returned = false;
  window.on_notify = [&](TNotifyUI& msg) {
    if (msg.sType != kNotifyClick) return;
    if (msg.pSender->GetName() == "login") {
      // As a modal dialog's nested loop does; bounded, so that a server that waits for this
      // loop before reading the next command fails the test instead of hanging it.
      const guint bound = g_timeout_add_seconds(
          15,
          [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
          },
          modal);
      g_main_loop_run(modal);
      modal_ended = g_main_context_find_source_by_id(nullptr, bound) != nullptr;
      if (modal_ended) g_source_remove(bound);
      returned = true;
    } else if (msg.pSender->GetName() == "bnclose") {
      g_main_loop_quit(modal);
    }
  };
  const std::string path = dir_.File("modal.sock");
  auto server = AutomationServer::Listen(path);
  ASSERT_NE(server, nullptr);
  std::atomic<bool> finished{false};
  AutomationAnswer opened, closed;
  std::thread client_thread([&] {
    AutomationClient client(path, 10000);
    opened = client.Click("UILogIn", "login");
    closed = client.Click("UILogIn", "bnclose");
    finished = true;
  });
  const bool done = TurnMainContextUntil([&] { return finished.load() && returned; });
  client_thread.join();
  g_main_loop_unref(modal);
  ASSERT_TRUE(done);
  EXPECT_TRUE(modal_ended) << "the modal loop was ended by the second click, not by the bound";
  EXPECT_TRUE(opened.ok()) << opened.line();
  EXPECT_TRUE(closed.ok()) << closed.line();
  EXPECT_EQ(window.NotesOf("click"), (std::vector<std::string>{"click:login", "click:bnclose"}));
}

TEST_F(AutomationServerTest, DestroyingTheServerEndsItsConnections) {
  const std::string path = dir_.File("end.sock");
  auto server = AutomationServer::Listen(path);
  ASSERT_NE(server, nullptr);
  std::atomic<bool> answered{false};
  std::atomic<bool> finished{false};
  AutomationAnswer first, second;
  std::thread client_thread([&] {
    AutomationClient client(path, 5000);
    first = client.Send(R"({"cmd":"ping"})");
    answered = true;
    while (!finished) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    second = client.Send(R"({"cmd":"ping"})");
  });
  ASSERT_TRUE(
      TurnMainContextUntil([&] { return answered.load() && AutomationServer::OpenConnections() == 1; }));
  server.reset();
  EXPECT_TRUE(TurnMainContextUntil([] { return AutomationServer::OpenConnections() == 0; }));
  finished = true;
  client_thread.join();
  EXPECT_TRUE(first.ok());
  EXPECT_FALSE(second.ok());
  EXPECT_EQ(second.object(), nullptr) << "the server hung up: no answer";
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace qrv::testing
