// Which addresses may leave for the system's browser.

#include "platform/shell.h"

#include <gtest/gtest.h>

#include "platform/debug_sink.h"

namespace qrv {
namespace {

TEST(SystemBrowser, HandsOverOnlyWebAddressesWithAHost) {
  for (const char* uri : {"http://www.zelto.com/", "https://account.zelto.com/pay?u=玩家&x=1",
                          "HTTP://127.0.0.1:8080/game.php#top", "http://[::1]/"}) {
    EXPECT_TRUE(IsWebAddress(uri)) << uri;
  }
  for (const char* uri :
       {"", "javascript:alert(1)", "JavaScript:alert(1)", "file:///etc/passwd", "about:blank",
        "tencent://message/?uin=1", "ftp://zelto.com/", "data:text/html,<b>x</b>", "http:///path",
        "http:zelto.com", "//zelto.com/", "www.zelto.com", "http://zelto.com/a b",
        "http://zelto.com/\n--new-window", "http://zelto.com/%zz", " http://zelto.com/"}) {
    EXPECT_FALSE(IsWebAddress(uri)) << uri;
  }
}

TEST(SystemBrowser, RefusesOtherAddressesWithADebugLineAndNeverCallsTheOpener) {
  std::vector<std::string> opened;
  ScopedBrowserOpener opener([&](const std::string& uri) {
    opened.push_back(uri);
    return true;
  });
  DebugCapture capture;
  EXPECT_FALSE(OpenInSystemBrowser("file:///etc/passwd"));
  EXPECT_FALSE(OpenInSystemBrowser("javascript:alert(1)"));
  EXPECT_TRUE(opened.empty());
  ASSERT_EQ(capture.Lines().size(), 2u);
  EXPECT_NE(capture.Lines()[0].find("file:///etc/passwd"), std::string::npos);
  EXPECT_EQ(capture.Lines()[0].substr(capture.Lines()[0].size() - 2), "\r\n");

  EXPECT_TRUE(OpenInSystemBrowser("http://www.zelto.com/"));
  EXPECT_EQ(opened, std::vector<std::string>{"http://www.zelto.com/"});
}

TEST(SystemBrowser, TheNewestOpenerWinsAndTheOlderOneComesBack) {
  std::vector<std::string> outer_seen;
  std::vector<std::string> inner_seen;
  ScopedBrowserOpener outer([&](const std::string& uri) {
    outer_seen.push_back(uri);
    return true;
  });
  {
    ScopedBrowserOpener inner([&](const std::string& uri) {
      inner_seen.push_back(uri);
      return false;  // as when the desktop has no browser
    });
    EXPECT_FALSE(OpenInSystemBrowser("http://a/"));
  }
  EXPECT_TRUE(OpenInSystemBrowser("http://b/"));
  EXPECT_EQ(inner_seen, std::vector<std::string>{"http://a/"});
  EXPECT_EQ(outer_seen, std::vector<std::string>{"http://b/"});
}

}  // namespace
}  // namespace qrv
