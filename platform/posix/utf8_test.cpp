#include "platform/posix/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace qvhelp::platform::posix {
namespace {

using namespace std::string_literals;

TEST(Utf16LeToUtf8Test, ConvertsCodeUnitsWithNulsKept) {
  EXPECT_EQ(Utf16LeToUtf8(Utf16Le(u"C:\\B\u00fcro\0"s)), "C:\\B\xc3\xbcro\0"s);
  EXPECT_EQ(Utf16LeToUtf8(Utf16Le(u"\u263a\U0001F600"s)), "\xe2\x98\xba\xf0\x9f\x98\x80");
  EXPECT_EQ(Utf16LeToUtf8(Utf16Le(u"\xd800x"s)), "\xef\xbf\xbdx");
  EXPECT_EQ(Utf16LeToUtf8("A\0B"s), "A");
  // Wine reports 7 for this value: its seven code units, the NULs among them.
  EXPECT_EQ(Utf16LeToUtf8(Utf16Le(u"C:\\Q\0j\0"s)).size(), 7u);
}

TEST(Utf8ToUtf16Test, InvalidBytesStandForThemselves) {
  EXPECT_EQ(Utf8ToUtf16("B\xc3\xbcro"), u"B\u00fcro");
  EXPECT_EQ(Utf8ToUtf16("\xf0\x9f\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("a\xff"
                        "b"),
            u"a\u00ff"
            "b");
}

}  // namespace
}  // namespace qvhelp::platform::posix
