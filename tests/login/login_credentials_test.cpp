// The remembered credentials' stored form: the old form for printable ASCII, a hexadecimal form
// for everything else, never a byte the settings file cannot hold, and a file only its owner reads.

#include "login/login_credentials.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/settings_file.h"
#include "sim/sim_test_support.h"

namespace qrv {
namespace {

TEST(LoginCredentialsTest, PrintableAsciiKeepsTheOldFormOfEveryBytePlusThirtyTwo) {
  EXPECT_EQ(ScrambleCredential("abc123456"), "\x81\x82\x83QRSTUV");
  EXPECT_EQ(ScrambleCredential(" ~"), "@\x9e");
  // Values earlier versions stored read back.
  EXPECT_EQ(UnscrambleCredential("\x91\x92\x96\x94\x85\x93\x94"), "qrvtest");
}

TEST(LoginCredentialsTest, EveryTextRoundTripsAndNoStoredByteIsAControlByte) {
  std::string high_bytes;
  for (int b = 224; b <= 255; ++b) high_bytes.push_back(static_cast<char>(b));
  std::string all_bytes;
  for (int b = 1; b <= 255; ++b) all_bytes.push_back(static_cast<char>(b));
  for (const std::string& text :
       {std::string("qrvtest"), std::string("P@ss w0rd_~!"), std::string("玄岚侠客"), std::string("密码abc"),
        high_bytes, all_bytes, std::string("tab\there"), std::string("line\nbreak"),
        std::string(1, '\0') + "zero", std::string()}) {
    const std::string stored = ScrambleCredential(text);
    EXPECT_EQ(UnscrambleCredential(stored), text);
    for (const char c : stored) EXPECT_GE(static_cast<unsigned char>(c), 32u) << "in the form of " << text;
  }
  EXPECT_EQ(ScrambleCredential(""), "");
  EXPECT_EQ(ScrambleCredential("玄"), "!e78e84");
  // A damaged hexadecimal value means nothing is remembered.
  EXPECT_EQ(UnscrambleCredential("!e78"), "");
  EXPECT_EQ(UnscrambleCredential("!zz"), "");
}

TEST(LoginCredentialsTest, SettingsFileKeepsThemAndOnlyItsOwnerMayReadIt) {
  sim::testing::TempDir dir;
  std::filesystem::create_directories(dir.path() + "/data");
  const SettingsFile settings(dir.path() + "/data/systemset.ini");
  WriteRememberedCredentials(settings, "玄岚侠客", "pa\xe0ss");
  const RememberedCredentials read = ReadRememberedCredentials(settings);
  EXPECT_EQ(read.account, "玄岚侠客");
  EXPECT_EQ(read.password, "pa\xe0ss");
  struct stat info {};
  ASSERT_EQ(stat(settings.path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  WriteRememberedCredentials(settings, "qrvtest", "abc123456");
  EXPECT_EQ(ReadRememberedCredentials(settings).account, "qrvtest");
  EXPECT_EQ(settings.ReadText(settings::kUpdate, settings::kCheckCode), "\x81\x82\x83QRSTUV");
}

}  // namespace
}  // namespace qrv
