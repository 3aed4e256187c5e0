#include "platform/codepage.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(SystemFromUtf8(std::string("a\0b", 3)), "a\xEF\xBF\xBD" "b");
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

TEST(Process, SpawnRelativeStartsAProgramAndReportsAMissingOne) {
  EXPECT_FALSE(SpawnRelative("./no-such-companion"));
  EXPECT_TRUE(SpawnRelative("/bin/true"));
}

}  // namespace
}  // namespace qrv
