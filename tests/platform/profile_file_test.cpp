#include "platform/profile_file.h"

#include <glib.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <vector>

namespace qrv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

fs::path TestDataDir() {
  if (const char* source = g_getenv("QRV_SOURCE_DIR"))
    return fs::path(source) / "tests/platform/testdata/profile";
  return fs::path(QRV_PROFILE_TEST_DATA);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

// The user and group "nobody", whose rights the file modes below limit.
constexpr uid_t kNobody = 65534;

// Runs `check` with the rights of an ordinary user: the caller's own when it is not root, else
// those of "nobody" in a child process (root reads and writes whatever the modes say). Returns
// whether the check held.
bool HoldsForAnOrdinaryUser(const std::function<bool()>& check) {
  if (geteuid() != 0) return check();
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
    _exit(dropped && check() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_autofree gchar* dir = g_dir_make_tmp("qrv-profile-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    dir_ = dir;
    path_ = (dir_ / "systemset.ini").string();
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Contents() const { return ReadBytes(path_); }
  void SetContents(std::string_view bytes) const { WriteBytes(path_, bytes); }
  std::string Text(std::string_view section, std::string_view key,
                   std::string_view default_value = "") const {
    return GetPrivateProfileString(section, key, default_value, path_);
  }

  fs::path dir_;
  std::string path_;
};

// Every case of reads.tsv against the INI files beside it: files written on Windows (byte-order
// mark, CRLF, capitals) and hand-edited ones (comments, stray lines, duplicates, odd numbers).
TEST(ProfileReads, DataDrivenCases) {
  std::ifstream cases(TestDataDir() / "reads.tsv");
  ASSERT_TRUE(cases.is_open()) << TestDataDir();
  int checked = 0;
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line.front() == '#') continue;
    SCOPED_TRACE(line);
    const auto fields = SplitTabs(line);
    ASSERT_EQ(fields.size(), 6u);
    const std::string path = (TestDataDir() / fields[0]).string();
    ASSERT_TRUE(fs::exists(path));
    if (fields[1] == "int") {
      EXPECT_EQ(GetPrivateProfileInt(fields[2], fields[3], std::stoi(fields[4]), path), std::stoi(fields[5]));
    } else {
      EXPECT_EQ(GetPrivateProfileString(fields[2], fields[3], fields[4], path), fields[5]);
    }
    ++checked;
  }
  EXPECT_GT(checked, 30);
  // The remembered account is stored scrambled, as bytes that are not text of their own.
  EXPECT_EQ(
      GetPrivateProfileString("Update", "version", "", (TestDataDir() / "windows_written.ini").string()),
      "\x8d\x8e\x8f\x90");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 1);
  EXPECT_EQ(Text("Hotkey", "boss", "ALT+Q"), "ALT+Q");
  SetContents("[Runset]\nautorun=0\n");
  EXPECT_EQ(GetPrivateProfileInt("Runset", "exit", 1, path_), 1);
  EXPECT_EQ(GetPrivateProfileInt("Hotkey", "autorun", 5, path_), 5);
  EXPECT_EQ(GetPrivateProfileInt("", "autorun", 5, path_), 5);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "", 5, path_), 5);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 5, path_), 0);
}

TEST_F(ProfileFileTest, TextReadsAreCutToTheBufferOnCharacterBoundaries) {
  const std::string han = "\xE6\x9C\x8D";        // one three-byte character
  const std::string emoji = "\xF0\x9F\x98\x80";  // one four-byte character
  const auto read_value = [&](const std::string& value) {
    SetContents("[s]\nk=" + value + "\n");
    return Text("s", "k");
  };
  EXPECT_EQ(read_value(std::string(2000, 'a')), std::string(1023, 'a'));
  EXPECT_EQ(read_value(std::string(1020, 'a') + han + "tail"), std::string(1020, 'a') + han);
  EXPECT_EQ(read_value(std::string(1021, 'a') + han), std::string(1021, 'a'));
  EXPECT_EQ(read_value(std::string(1022, 'a') + han), std::string(1022, 'a'));
  EXPECT_EQ(read_value(std::string(1020, 'a') + emoji), std::string(1020, 'a'));
  // Stray bytes are not characters to protect: the cut stays at 1023.
  EXPECT_EQ(read_value(std::string(2000, '\x80')), std::string(1023, '\x80'));
  // A zero byte ends the text, as it would in the C buffer.
  EXPECT_EQ(read_value(std::string("ab\0cd", 5)), "ab");

  EXPECT_EQ(Text("s", "missing", std::string(2000, 'b')), std::string(1023, 'b'));
  SetContents("[s]\nk=abcdefg\n");
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", path_, 5), "abcd");
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", path_, 1), "");
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", path_, 0), "");
}

TEST_F(ProfileFileTest, FirstWriteCreatesAnOwnerOnlyFileButNeverTheFolder) {
  // The settings file holds the remembered password.
  ASSERT_TRUE(WritePrivateProfileString("update", "note", "1", path_));
  EXPECT_EQ(Contents(), "[update]\nnote=1\n");
  EXPECT_EQ(ModeOf(path_), 0600u);
  EXPECT_EQ(GetPrivateProfileInt("UPDATE", "NOTE", 0, path_), 1);

  const fs::path in_missing_folder = dir_ / "data" / "systemset.ini";
  EXPECT_FALSE(WritePrivateProfileString("update", "note", "1", in_missing_folder.string()));
  EXPECT_FALSE(fs::exists(dir_ / "data"));
}

TEST_F(ProfileFileTest, WritesChangeOnlyTheirOwnLine) {
  const std::string original = "; kept by hand\n\n[Runset]\nautorun = 1\nexit=1\n\n[Other]\nx=y\n";
  SetContents(original);
  ASSERT_TRUE(WritePrivateProfileString("RUNSET", "AutoRun", "0", path_));
  EXPECT_EQ(Contents(), "; kept by hand\n\n[Runset]\nautorun = 0\nexit=1\n\n[Other]\nx=y\n");
  // A new key goes after the section's last key, before the blank line that sets it off.
  ASSERT_TRUE(WritePrivateProfileString("Runset", "showtop", "1", path_));
  EXPECT_EQ(Contents(), "; kept by hand\n\n[Runset]\nautorun = 0\nexit=1\nshowtop=1\n\n[Other]\nx=y\n");
  // A missing section is added at the end, with the key, under the caller's spelling.
  ASSERT_TRUE(WritePrivateProfileString("update", "note", "1", path_));
  EXPECT_EQ(
      Contents(),
      "; kept by hand\n\n[Runset]\nautorun = 0\nexit=1\nshowtop=1\n\n[Other]\nx=y\n\n[update]\nnote=1\n");
  EXPECT_EQ(GetPrivateProfileInt("Update", "note", 0, path_), 1);
  EXPECT_EQ(Text("Other", "x"), "y");
}

TEST_F(ProfileFileTest, WritesFollowTheFilesLineEndsAndKeepItsByteOrderMark) {
  SetContents("\xEF\xBB\xBF[UPDATE]\r\nNOTE=1\r\n");
  ASSERT_TRUE(WritePrivateProfileString("update", "note", "0", path_));
  ASSERT_TRUE(WritePrivateProfileString("update", "version", "abc", path_));
  ASSERT_TRUE(WritePrivateProfileString("Hotkey", "boss", "ALT+Q", path_));
  EXPECT_EQ(Contents(), "\xEF\xBB\xBF[UPDATE]\r\nNOTE=0\r\nversion=abc\r\n\r\n[Hotkey]\r\nboss=ALT+Q\r\n");

  SetContents("[a]\nk=1");  // no line end after the last line
  ASSERT_TRUE(WritePrivateProfileString("a", "j", "2", path_));
  EXPECT_EQ(Contents(), "[a]\nk=1\nj=2\n");
  SetContents("[a]");
  ASSERT_TRUE(WritePrivateProfileString("b", "x", "3", path_));
  EXPECT_EQ(Contents(), "[a]\n\n[b]\nx=3\n");
  ASSERT_TRUE(WritePrivateProfileString("a", "k", "4", path_));
  EXPECT_EQ(Contents(), "[a]\nk=4\n\n[b]\nx=3\n");
}

TEST_F(ProfileFileTest, FirstDuplicateWinsForReadsAndWrites) {
  SetContents("[s]\nk=1\nk=2\n[S]\nk=3\nm=4\n");
  EXPECT_EQ(GetPrivateProfileInt("s", "k", 0, path_), 1);
  // Only the first section of a name is looked at.
  EXPECT_EQ(GetPrivateProfileInt("s", "m", 0, path_), 0);
  ASSERT_TRUE(WritePrivateProfileString("s", "k", "9", path_));
  ASSERT_TRUE(WritePrivateProfileString("s", "m", "5", path_));
  EXPECT_EQ(Contents(), "[s]\nk=9\nk=2\nm=5\n[S]\nk=3\nm=4\n");
  EXPECT_EQ(GetPrivateProfileInt("s", "m", 0, path_), 5);
}

TEST_F(ProfileFileTest, WritesThatWouldNotReadBackAreRefused) {
  const std::string original = "[Update]\nversion=abc\n";
  SetContents(original);
  // A scrambled password can hold any byte; a line break would add lines of its own.
  EXPECT_FALSE(WritePrivateProfileString("Update", "version", "x\n[Runset]\nautorun=0", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", "version", "x\ry", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", "version", std::string_view("x\0y", 3), path_));
  EXPECT_FALSE(WritePrivateProfileString("Up]date", "version", "1", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", "ver=sion", "1", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", "[version", "1", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", ";version", "1", path_));
  EXPECT_FALSE(WritePrivateProfileString("Update", "  ", "1", path_));
  EXPECT_FALSE(WritePrivateProfileString("", "version", "1", path_));
  EXPECT_EQ(Contents(), original);
  // Blanks around names are not part of them.
  ASSERT_TRUE(WritePrivateProfileString(" Update ", " version ", "xyz", path_));
  EXPECT_EQ(Contents(), "[Update]\nversion=xyz\n");
}

TEST_F(ProfileFileTest, ReplacedFileBecomesPrivateAndNoTemporaryFileIsLeft) {
  SetContents("[Runset]\nexit=1\n");
  ASSERT_EQ(chmod(path_.c_str(), 0664), 0);  // made by hand, readable by the group and others
  ASSERT_TRUE(WritePrivateProfileString("Runset", "exit", "2", path_));
  EXPECT_EQ(ModeOf(path_), 0600u);
  ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
  ASSERT_TRUE(WritePrivateProfileString("Runset", "autorun", "0", path_));
  EXPECT_EQ(ModeOf(path_), 0600u);
  // Writing a value the file already holds makes it private too.
  ASSERT_EQ(chmod(path_.c_str(), 0644), 0);
  ASSERT_TRUE(WritePrivateProfileString("Runset", "autorun", "0", path_));
  EXPECT_EQ(ModeOf(path_), 0600u);
  EXPECT_EQ(Contents(), "[Runset]\nexit=2\nautorun=0\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProfileFileTest, SymbolicLinkIsWrittenThroughNotReplaced) {
  const fs::path target = dir_ / "shared.ini";
  WriteBytes(target, "[Runset]\nexit=1\n");
  fs::create_symlink(target, path_);
  ASSERT_TRUE(WritePrivateProfileString("Runset", "exit", "2", path_));
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(ReadBytes(target), "[Runset]\nexit=2\n");
}

TEST_F(ProfileFileTest, UnreadablePathGivesDefaultsAndIsNeverOverwritten) {
  fs::create_directory(path_);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "exit", 7, path_), 7);
  EXPECT_EQ(Text("Runset", "exit", "d"), "d");
  EXPECT_FALSE(WritePrivateProfileString("Runset", "exit", "2", path_));
  EXPECT_TRUE(fs::is_directory(path_));
}

// The folder lets anybody in, so that only the file's own mode keeps a writer from replacing it.
TEST_F(ProfileFileTest, FileThatCannotBeReadIsNeverReplaced) {
  const std::string original = "[Update]\nversion=abc\nchecked=1\n";
  SetContents(original);
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  ASSERT_EQ(chmod(path_.c_str(), 0200), 0);
  EXPECT_TRUE(HoldsForAnOrdinaryUser([&] {
    // Writing would otherwise leave a file holding only the new key.
    return access(path_.c_str(), R_OK) != 0 && Text("Update", "version", "d") == "d" &&
           !WritePrivateProfileString("Update", "note", "1", path_);
  }));
  ASSERT_EQ(chmod(path_.c_str(), 0600), 0);
  EXPECT_EQ(Contents(), original);
}

TEST_F(ProfileFileTest, ReadOnlyFileIsLeftAlone) {
  const std::string original = "[Runset]\nautorun=0\n";
  SetContents(original);
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  ASSERT_EQ(chmod(path_.c_str(), 0400), 0);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(path_.c_str(), kNobody, kNobody), 0);
  }
  EXPECT_TRUE(HoldsForAnOrdinaryUser([&] {
    return access(path_.c_str(), W_OK) != 0 && Text("Runset", "autorun", "1") == "0" &&
           !WritePrivateProfileString("Runset", "autorun", "1", path_);
  }));
  EXPECT_EQ(Contents(), original);
  EXPECT_EQ(ModeOf(path_), 0400u);
}

TEST_F(ProfileFileTest, BinaryGarbageReadsAsDefaultsAndSurvivesAWrite) {
  std::minstd_rand random(20240611);
  std::string garbage(64 * 1024, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random() % 256);
  for (std::size_t i = 0; i < garbage.size(); i += 97) garbage[i] = '\0';
  SetContents(garbage);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 1);
  EXPECT_EQ(Text("Hotkey", "boss", "ALT+Q"), "ALT+Q");
  ASSERT_TRUE(WritePrivateProfileString("Runset", "autorun", "0", path_));
  EXPECT_EQ(Contents().substr(0, garbage.size()), garbage);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 0);

  // Garbage inside a section does not hide the keys around it.
  SetContents("[Runset]\n\xFF\xFE\0\0junk\nexit=2\0tail\n\0=\0\nautorun=0\n"sv);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "exit", 1, path_), 2);
  EXPECT_EQ(Text("Runset", "exit"), "2");
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 0);
}

TEST_F(ProfileFileTest, HugeFilesAreReadAndWrittenWhole) {
  std::string huge = "[Runset]\n";
  huge.reserve(51 * 1024 * 1024);
  for (int i = 0; huge.size() < 50u * 1024 * 1024; ++i)
    huge += "filler" + std::to_string(i) + "=some value\n";
  huge += "autorun=0\n";
  SetContents(huge);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 0);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "exit", 1, path_), 1);
  ASSERT_TRUE(WritePrivateProfileString("Runset", "exit", "2", path_));
  EXPECT_EQ(GetPrivateProfileInt("Runset", "exit", 1, path_), 2);
  EXPECT_EQ(fs::file_size(path_), huge.size() + std::string("exit=2\n").size());

  // One 50 MB line with no line end at all.
  SetContents(std::string(50u * 1024 * 1024, '['));
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 1, path_), 1);
}

// Another process may be reading while this one writes: the file is replaced, never rewritten in
// place, so a reader that opened it before the write still reads the old file whole.
TEST_F(ProfileFileTest, ReaderOfTheOldFileIsNotDisturbedByAWrite) {
  std::string contents = "[Runset]\nautorun=1\n";
  for (int i = 0; contents.size() < 256 * 1024; ++i) contents += "filler" + std::to_string(i) + "=x\n";
  SetContents(contents);
  std::ifstream early_reader(path_, std::ios::binary);
  ASSERT_TRUE(early_reader.is_open());
  ASSERT_TRUE(WritePrivateProfileString("Runset", "autorun", "0", path_));
  const std::string seen(std::istreambuf_iterator<char>(early_reader), {});
  EXPECT_TRUE(seen == contents) << "the early reader saw " << seen.size() << " bytes starting "
                                << seen.substr(0, 20);
  EXPECT_EQ(GetPrivateProfileInt("Runset", "autorun", 5, path_), 0);
}

}  // namespace
}  // namespace qrv
