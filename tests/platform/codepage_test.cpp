#include "platform/codepage.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/debug_sink.h"
#include "platform/process.h"

namespace qrv {
namespace {

TEST(CodePage, ValidTextPassesAndBrokenSequencesAreReplaced) {
  EXPECT_EQ(SystemFromUtf8("双线1区[1服]"), "双线1区[1服]");
  // Each byte of a broken sequence becomes one replacement character.
  EXPECT_EQ(SystemFromUtf8(std::string("ab\xE5\x8F", 4)), "ab\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Utf8FromSystem(std::string("\xFFx", 2)), "\xEF\xBF\xBDx");
  // A zero byte would end the text early wherever it is handed on as a C string.
  EXPECT_EQ(SystemFromUtf8(std::string("a\0b", 3)),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(CodePage, CharactersAreCountedNotBytes) {
  EXPECT_EQ(CharCount("服务器"), 3u);
  EXPECT_EQ(CharCount("a1b0c0"), 6u);
  const std::string text = "区1";
  EXPECT_EQ(CharLengthAt(text, 0), 3u);
  EXPECT_EQ(CharLengthAt(text, 3), 1u);
  EXPECT_EQ(CharLengthAt(std::string("\xE5\x8F", 2), 0), 1u);  // a stray lead byte stands alone
  EXPECT_EQ(CharLengthAt(text, 9), 0u);
}

TEST(DebugSink, CapturesSeeEveryLine) {
  DebugCapture capture;
  OutputDebugString("*****发送登录请求*****\r\n");
  EXPECT_TRUE(capture.Contains("发送登录请求"));
  EXPECT_EQ(capture.Lines().size(), 1u);
}

TEST(Process, ExitHookTurnsExitIntoAnObservableUnwind) {
  ScopedExitHook hook;
  try {
    ExitProcess(-1);
    FAIL() << "ExitProcess returned";
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, -1);
  }
}

TEST(Process, CompanionsStartInTheProgramFolderOrFromThePathAndLeaveNoZombie) {
  g_autofree gchar* folder = g_dir_make_tmp("qrv-companion-XXXXXX", nullptr);
  ASSERT_NE(folder, nullptr);
  const std::string dir = std::string(folder) + "/";
  const std::string script = dir + "ScreenCap";
  ASSERT_TRUE(g_file_set_contents(script.c_str(), "#!/bin/sh\npwd > started-in\n", -1, nullptr));
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);

  // Without a program folder (or with one that is not a full path) nothing is started, even with
  // a companion of that name in the working directory.
  g_autofree gchar* previous_cwd = g_get_current_dir();
  ASSERT_EQ(chdir(folder), 0);
  EXPECT_EQ(SpawnCompanion("", "./ScreenCap"), 0);
  EXPECT_EQ(SpawnCompanion("./", "ScreenCap"), 0);
  ASSERT_EQ(chdir(previous_cwd), 0);
  EXPECT_FALSE(g_file_test((dir + "started-in").c_str(), G_FILE_TEST_EXISTS));

  // The working directory is elsewhere, as for a launcher started by the session.
  EXPECT_EQ(SpawnCompanion(dir, "./no-such-companion"), 0);
  const pid_t pid = SpawnCompanion(dir, "./ScreenCap");
  ASSERT_GT(pid, 0);
  // Reaped once it ended: its process id is gone, not left as a zombie.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!(kill(pid, 0) != 0 && errno == ESRCH) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(kill(pid, 0), 0);
  gchar* where = nullptr;
  ASSERT_TRUE(g_file_get_contents((dir + "started-in").c_str(), &where, nullptr, nullptr));
  EXPECT_EQ(std::string(where), std::string(folder) + "\n");
  g_free(where);

  // Without a folder, a bare name is a command found on the PATH, as the installed launcher
  // starts itself again.
  const std::string command = dir + "qrv-command";
  const std::string found = dir + "found";
  ASSERT_TRUE(
      g_file_set_contents(command.c_str(), ("#!/bin/sh\ntouch '" + found + "'\n").c_str(), -1, nullptr));
  ASSERT_EQ(chmod(command.c_str(), 0755), 0);
  EXPECT_EQ(SpawnCompanion("", "qrv-command"), 0) << "not on the PATH yet";
  const std::string path = g_getenv("PATH") != nullptr ? g_getenv("PATH") : "/usr/bin";
  g_setenv("PATH", (std::string(folder) + ":" + path).c_str(), TRUE);
  EXPECT_GT(SpawnCompanion("", "qrv-command"), 0);
  g_setenv("PATH", path.c_str(), TRUE);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(found) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(std::filesystem::exists(found));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace qrv
