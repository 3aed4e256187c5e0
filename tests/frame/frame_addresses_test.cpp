// The game page and pay page addresses.

#include "frame/frame_addresses.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

TEST(FrameAddressesTest, GamePageOfAServerCode) {
  EXPECT_EQ(GamePageAddress("127.0.0.1:8080", "qrv45"),
            "http://127.0.0.1:8080/joinGame/code/qrv45/gamebarhide/1/");
  EXPECT_EQ(GamePageAddress("h", "a/b?c"), "http://h/joinGame/code/a%2Fb%3Fc/gamebarhide/1/");
  EXPECT_EQ(GamePageAddress("https://127.0.0.1:8443", "qrv45"),
            "https://127.0.0.1:8443/joinGame/code/qrv45/gamebarhide/1/");
}

TEST(FrameAddressesTest, PayServerSegmentFollowsTheNameRule) {
  EXPECT_EQ(PayServerSegment("[100服]风云"), "100");
  EXPECT_EQ(PayServerSegment("[7服"), "");       // no "]"
  EXPECT_EQ(PayServerSegment("[7区]电信"), "");  // no "服" before "]"
  EXPECT_EQ(PayServerSegment("]"), "");
  EXPECT_EQ(PayServerSegment("双线45区[45服]"), "线45区[45");  // the rule drops one character, whatever it is
}

TEST(FrameAddressesTest, PayPageAddressEscapesBothValues) {
  EXPECT_EQ(PayPageAddress("acc", "[100服]", "a7f3c2"), "https://acc/pay/g/qrv/s/100/u/a7f3c2/");
  EXPECT_EQ(PayPageAddress("acc", "无括号", "a7f3c2"), "https://acc/pay/g/qrv/s//u/a7f3c2/");
  EXPECT_EQ(PayPageAddress("acc", "[1/../2服]", "x y"), "https://acc/pay/g/qrv/s/1%2F..%2F2/u/x%20y/");
  EXPECT_EQ(PayPageAddress("https://acc:8443", "[100服]", "a7f3c2"),
            "https://acc:8443/pay/g/qrv/s/100/u/a7f3c2/");
}

}  // namespace
}  // namespace qrv
