#include "net/md5.h"

#include <gtest/gtest.h>

namespace qrv {
namespace {

using namespace std::string_literals;

TEST(Md5Test, MatchesTheReferenceDigests) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
  EXPECT_EQ(Md5Hex("\xe7\x8e\x84\xe5\xb2\x9a"), "c0ba01646685f71177b1419072fed28d");
}

TEST(Md5Test, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(Md5Hex("abc\0def"s), Md5Hex("abc"));
  EXPECT_EQ(Md5Hex("\0abc"s), Md5Hex(""));
}

}  // namespace
}  // namespace qrv
