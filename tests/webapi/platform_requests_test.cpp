#include "webapi/platform_requests.h"

#include <gtest/gtest.h>

#include "webapi/platform_api.h"

namespace qrv {
namespace {

// MD5 values below were computed with an independent MD5 tool over the texts shown.
constexpr char kSecretUpperMd5[] = "5EBE2294ECD0E0F08EAB7690D2A6EE69";  // "secret"

TEST(PlatformRequestsTest, SignatureIsUpperCaseMd5) {
  EXPECT_EQ(Sign("secret"), kSecretUpperMd5);
  EXPECT_EQ(Sign(""), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(PlatformRequestsTest, TimeValueIsPlainDecimal) {
  EXPECT_EQ(TimeValue(1700000000), "1700000000");
  EXPECT_EQ(TimeValue(0), "0");
  EXPECT_EQ(TimeValue(4102444800), "4102444800");  // past 2^31: the value is 64-bit
}

TEST(PlatformRequestsTest, SignatureTexts) {
  EXPECT_EQ(AccountSignatureText("player1", "1700000000", "secret"),
            std::string("player11700000000") + kSecretUpperMd5 + "Hx3PqL8vRw2KdT6mZy9B");
  EXPECT_EQ(ExitSignatureText("player1", "1700000100", "eth0"),
            "exitplayer11700000100eth0Hx3PqL8vRw2KdT6mZy9B");
}

TEST(PlatformRequestsTest, LoginPath) {
  EXPECT_EQ(LoginPath("player1", "secret", "1700000000", "eth0"),
            "clientlogingame.php?action=login&&partner=qrv&account=player1&time=1700000000"
            "&sign=6013872949C5250531F69FA1E3926C56&%20addr%20=%7B%22%22%7D&mac=eth0");
  EXPECT_EQ(LoginPath("player1", "secret", "1700000000", ""),
            "clientlogingame.php?action=login&&partner=qrv&account=player1&time=1700000000"
            "&sign=6013872949C5250531F69FA1E3926C56&%20addr%20=%7B%22%22%7D&mac=");
}

TEST(PlatformRequestsTest, ProfilePath) {
  EXPECT_EQ(ProfilePath("player1", "secret", "1700000042"),
            "clientreglogin.php?action=getprofile&&partner=qrv&account=player1&time=1700000042"
            "&sign=547A892C558323B4CAE62A0696CDBE8B&%20addr%20=%7B%22%22%7D");
}

TEST(PlatformRequestsTest, ExitNoticePath) {
  EXPECT_EQ(ExitNoticePath("player1", "eth0", "1700000000", "1700000100"),
            "clientreglogin.php?action=exit&partner=qrv&%20userid=player1&addr=&mac=eth0"
            "&login_date=1700000000&time=1700000100&sign=7DA8D526431DDAF6341AB0B471493325");
}

TEST(PlatformRequestsTest, ArgumentsArePercentEncodedButSignedRaw) {
  const std::string account = "a&b#c%d e=玩家";
  // The signature covers the raw account: MD5 of "a&b#c%d e=玩家1700000000" + MD5("secret") + key.
  EXPECT_EQ(LoginPath(account, "secret", "1700000000", "wlp2s0"),
            "clientlogingame.php?action=login&&partner=qrv&account=a%26b%23c%25d%20e%3D%E7%8E%A9%E5%AE%B6"
            "&time=1700000000&sign=9C0CBE503544A8FDC85BA65B035768B8&%20addr%20=%7B%22%22%7D&mac=wlp2s0");
}

TEST(PlatformRequestsTest, PercentEncodeKeepsOnlyUnreservedCharacters) {
  EXPECT_EQ(PercentEncode("Player_1.x-y~z"), "Player_1.x-y~z");
  EXPECT_EQ(PercentEncode("a b+c/d?e'f\"g"), "a%20b%2Bc%2Fd%3Fe%27f%22g");
  EXPECT_EQ(PercentEncode(std::string("\0\x7f\xff", 3)), "%00%7F%FF");
  EXPECT_EQ(PercentEncode(""), "");
}

TEST(PlatformRequestsTest, FillPathTemplateEncodesOnlyTheTemplatesUnsafeCharacters) {
  EXPECT_EQ(FillPathTemplate("p.php?a=%s&& b={\"\"}&c=%s", {"x y", "z"}),
            "p.php?a=x%20y&&%20b=%7B%22%22%7D&c=z");
  // A "%s" that is an argument's text is not expanded again.
  EXPECT_EQ(FillPathTemplate("a=%s&b=%s", {"%s", "1"}), "a=%25s&b=1");
  EXPECT_EQ(FillPathTemplate("a=%s&b=%s", {"1"}), "a=1&b=");
}

TEST(LoginVerdictTest, StatusWordsAreSearchedNotParsed) {
  struct Case {
    const char* response;
    LoginOutcome outcome;
    bool illegal_password;
    bool account_not_exist;
  };
  const Case cases[] = {
      {"SUCCESS", LoginOutcome::kSuccess, false, false},
      {"<p>login: SUCCESS\r\n</p>", LoginOutcome::kSuccess, false, false},
      {"ILLEGAL_PASSWORD SUCCESS ACCOUNT_NOT_EXIST", LoginOutcome::kSuccess, false, false},
      {"ILLEGAL_PASSWORD", LoginOutcome::kIllegalPassword, true, false},
      {"error=ACCOUNT_NOT_EXIST;", LoginOutcome::kAccountNotExist, false, true},
      {"ACCOUNT_NOT_EXIST ILLEGAL_PASSWORD", LoginOutcome::kIllegalPassword, true, true},
      {"", LoginOutcome::kFailed, false, false},
      {"success", LoginOutcome::kFailed, false, false},
      {"SUCCES", LoginOutcome::kFailed, false, false},
      {"<html>502 Bad Gateway</html>", LoginOutcome::kFailed, false, false},
  };
  for (const Case& c : cases) {
    const LoginVerdict verdict = ClassifyLoginResponse(c.response);
    EXPECT_EQ(verdict.outcome(), c.outcome) << c.response;
    EXPECT_EQ(verdict.success, c.outcome == LoginOutcome::kSuccess) << c.response;
    EXPECT_EQ(verdict.illegal_password, c.illegal_password) << c.response;
    EXPECT_EQ(verdict.account_not_exist, c.account_not_exist) << c.response;
  }
}

}  // namespace
}  // namespace qrv
