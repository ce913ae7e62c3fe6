#include "platform/posix/hive_value.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/utf8.h"

namespace qvhelp::platform::posix {
namespace {

using namespace std::string_literals;

struct ValueCase {
  const char* name;
  std::string line;  // the key's value lines
  std::optional<std::uint32_t> type;
  std::string data;  // as stored
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

class HiveValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(HiveValueTest, ParsesTypeAndData) {
  const ValueCase& c = GetParam();
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < c.line.size();) {
    const std::size_t end = std::min(c.line.find('\n', start), c.line.size());
    lines.push_back(c.line.substr(start, end - start));
    start = end + 1;
  }
  const auto value = FindHiveValue(lines, "RootDir");
  ASSERT_EQ(value.has_value(), c.type.has_value());
  if (!value) return;
  EXPECT_EQ(value->type, *c.type);
  EXPECT_EQ(value->data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Types, HiveValueTest,
    testing::Values(
        ValueCase{"String", "\"RootDir\"=\"C:\\\\BDS\"\n", 1, Utf16Le(u"C:\\BDS\0"s)},
        ValueCase{"EmptyString", "\"RootDir\"=\"\"\n", 1, Utf16Le(u"\0"s)},
        ValueCase{"ExpandString", "\"RootDir\"=str(2):\"%ProgramFiles%\\\\BDS\"\n", 2,
                  Utf16Le(u"%ProgramFiles%\\BDS\0"s)},
        ValueCase{"MultiString", "\"RootDir\"=str(7):\"a\\0b\\0\"\n", 7, Utf16Le(u"a\0b\0\0"s)},
        ValueCase{"Dword", "\"RootDir\"=dword:00000005\n", 4, "\x05\0\0\0"s},
        ValueCase{"Binary", "\"RootDir\"=hex:01,02,ff\n", 3, "\x01\x02\xff"s},
        ValueCase{"EmptyBinary", "\"RootDir\"=hex:\n", 3, ""},
        ValueCase{"TypedHex", "\"RootDir\"=hex(1):43,00,00,00,6a,00\n", 1, Utf16Le(u"C\0j"s)},
        ValueCase{"Escapes", "\"RootDir\"=\"q\\\"t\\\\n\\n\\r\\t\\x41\\xfc\\x263a!\"\n", 1,
                  Utf16Le(u"q\"t\\n\n\r\tA\u00fc\u263a!\0"s)},
        ValueCase{"Octal", "\"RootDir\"=\"a\\101\\0b\"\n", 1, Utf16Le(u"aA\0b\0"s)},
        ValueCase{"Utf8InTheFile", "\"RootDir\"=\"C:\\\\B\xc3\xbcro\"\n", 1,
                  Utf16Le(u"C:\\B\u00fcro\0"s)},
        ValueCase{"NameInOtherCase", "\"ROOTDIR\"=\"x\"\n", 1, Utf16Le(u"x\0"s)},
        ValueCase{"DefaultValueIsNotOurs", "@=\"x\"\n", std::nullopt, ""},
        ValueCase{"LastOneCounts", "\"RootDir\"=\"a\"\n\"RootDir\"=\"b\"\n", 1, Utf16Le(u"b\0"s)},
        ValueCase{"MalformedLaterOneIgnored", "\"RootDir\"=\"a\"\n\"RootDir\"=\"b\n", 1,
                  Utf16Le(u"a\0"s)},
        ValueCase{"Missing", "\"Other\"=\"x\"\n@=\"y\"\n", std::nullopt, ""},
        ValueCase{"UnterminatedString", "\"RootDir\"=\"C:\\\\BDS\n", std::nullopt, ""},
        ValueCase{"BadEscapeAtEnd", "\"RootDir\"=\"C:\\", std::nullopt, ""},
        ValueCase{"EmptyHexEscape", "\"RootDir\"=\"\\xg\"\n", std::nullopt, ""},
        ValueCase{"TruncatedHex", "\"RootDir\"=hex:01,0", 3, "\x01\x00"s},
        ValueCase{"BadHex", "\"RootDir\"=hex:01,zz\n", std::nullopt, ""},
        ValueCase{"BadDword", "\"RootDir\"=dword:\n", std::nullopt, ""},
        ValueCase{"UnknownType", "\"RootDir\"=blob:00\n", std::nullopt, ""},
        ValueCase{"GarbageAfterString", "\"RootDir\"=\"a\"b\n", std::nullopt, ""},
        ValueCase{"SimilarNameIsNotOurs", "\"RootDirs\"=\"x\"\n", std::nullopt, ""}),
    [](const testing::TestParamInfo<ValueCase>& param) { return std::string(param.param.name); });

// Value names are compared as Windows compares them, beyond ASCII too.
TEST(FindHiveValueTest, NamesInOtherCase) {
  const std::vector<std::string> lines = {
      "\"Gr\xc3\xb6\xc3\x9f"
      "e\"=dword:00000001",
      "\"\xd0\xbf\xd1\x83\xd1\x82\xd1\x8c\"=dword:00000002"};
  EXPECT_TRUE(FindHiveValue(lines,
                            "GR\xc3\x96\xc3\x9f"
                            "E"));
  EXPECT_FALSE(FindHiveValue(lines, "GR\xc3\x96SSE"));
  EXPECT_TRUE(FindHiveValue(lines, "\xd0\x9f\xd0\xa3\xd0\xa2\xd0\xac"));
}

TEST(ParseHexDigitsTest, ReadsAtMostTheDigitsAsked) {
  struct Case {
    std::string_view text;
    int max_digits;
    int digits;
    std::uint64_t value;
  };
  for (const Case& c :
       {Case{"ff,", 2, 2, 0xff}, Case{"abc", 2, 2, 0xab}, Case{"G1", 4, 0, 0},
        Case{"0000000001", 100, 10, 1}, Case{"FFFFFFFFFFFF", 100, 12, 1ull << 36}}) {
    std::size_t position = 0;
    std::uint64_t value = 0;
    EXPECT_EQ(ParseHexDigits(c.text, position, c.max_digits, value), c.digits) << c.text;
    EXPECT_EQ(position, static_cast<std::size_t>(c.digits)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

}  // namespace
}  // namespace qvhelp::platform::posix
