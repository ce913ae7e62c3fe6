#include "platform/posix/hive_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace qvhelp::platform::posix {
namespace {

using namespace std::string_literals;

constexpr std::string_view kKey = "SOFTWARE\\Borland\\BDS\\3.0";

std::string Hive(std::string_view body, bool win64 = true) {
  std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
  if (win64) text += "#arch=win64\n";
  text += "\n[Software\\\\Classes\\\\.txt] 1796960020\n#time=1d\n@=\"txtfile\"\n\n";
  text += body;
  return text;
}

std::optional<std::vector<std::string>> Scan(std::string_view hive, std::size_t piece = 0) {
  HiveKeyScanner scanner(kKey);
  if (piece == 0) piece = hive.size() + 1;
  for (std::size_t at = 0; at < hive.size(); at += piece) scanner.Feed(hive.substr(at, piece));
  return scanner.Finish();
}

std::optional<HiveValue> Value(std::string_view hive, std::string_view name = "RootDir") {
  const auto lines = Scan(hive);
  if (!lines) return std::nullopt;
  return FindHiveValue(*lines, name);
}

std::string Utf16(std::u16string_view units) {
  std::string bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

constexpr std::string_view kWowHeader =
    "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0] 1796960020\n";
constexpr std::string_view kNativeHeader = "[Software\\\\Borland\\\\BDS\\\\3.0] 1796960020\n";

TEST(HiveKeyScannerTest, ThirtyTwoBitViewOfA64BitHive) {
  const std::string body = std::string(kNativeHeader) + "\"RootDir\"=\"C:\\\\Native\"\n\n" +
                           std::string(kWowHeader) + "\"RootDir\"=\"C:\\\\Wow\"\n";
  const auto win64 = Value(Hive(body, true));
  ASSERT_TRUE(win64);
  EXPECT_EQ(Utf16LeToUtf8(win64->data), std::string("C:\\Wow\0", 7));
  const auto win32 = Value(Hive(body, false));
  ASSERT_TRUE(win32);
  EXPECT_EQ(Utf16LeToUtf8(win32->data), std::string("C:\\Native\0", 10));
}

TEST(HiveKeyScannerTest, KeyExistence) {
  struct Case {
    const char* name;
    std::string body;
    bool found;
  };
  const Case cases[] = {
      {"Header", std::string(kWowHeader), true},
      {"HeaderInOtherCase", "[software\\\\wow6432node\\\\BORLAND\\\\bds\\\\3.0] 1\n", true},
      {"HeaderWithAnEscapedCharacter",
       "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3\\x002e0] 1\n", true},
      {"HeaderWithAnEscapedBackslash", "[Software\\x5cWow6432Node\\\\Borland\\\\BDS\\\\3.0] 1\n",
       true},
      {"HeaderDifferingAfterAnEscape",
       "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3\\x002e1] 1\n", false},
      {"OnlyASubkeyIsWritten", "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0\\\\Sub] 1\n",
       true},
      {"SiblingWithTheSamePrefix", "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.01] 1\n",
       false},
      {"Parent", "[Software\\\\Wow6432Node\\\\Borland\\\\BDS] 1\n", false},
      {"NativeViewOnly", std::string(kNativeHeader), false},
      {"HeaderNeverCloses", "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0 1\n", false},
      {"Nothing", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Scan(Hive(c.body)).has_value(), c.found) << c.name;
  }
}

TEST(HiveKeyScannerTest, NotAHive) {
  std::string body = std::string(kWowHeader) + "\"RootDir\"=\"C:\\\\BDS\"\n";
  EXPECT_FALSE(Scan("REGEDIT4\n" + body));
  EXPECT_FALSE(Scan(""));
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  EXPECT_FALSE(Scan(binary));
}

TEST(HiveKeyScannerTest, PiecesSplitAnywhere) {
  const std::string hive =
      Hive(std::string(kWowHeader) + "#time=1\n\"RootDir\"=hex(1):43,00,3a,00,\\\n  5c,00,00,00\n");
  for (std::size_t piece : {1u, 2u, 3u, 7u, 64u}) {
    const auto lines = Scan(hive, piece);
    ASSERT_TRUE(lines) << piece;
    const auto value = FindHiveValue(*lines, "rootdir");
    ASSERT_TRUE(value) << piece;
    EXPECT_EQ(value->data, Utf16(u"C:\\\0"s)) << piece;
  }
}

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
  const auto value = Value(Hive(std::string(kWowHeader) + c.line));
  ASSERT_EQ(value.has_value(), c.type.has_value());
  if (!value) return;
  EXPECT_EQ(value->type, *c.type);
  EXPECT_EQ(value->data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Types, HiveValueTest,
    testing::Values(
        ValueCase{"String", "\"RootDir\"=\"C:\\\\BDS\"\n", 1, Utf16(u"C:\\BDS\0"s)},
        ValueCase{"EmptyString", "\"RootDir\"=\"\"\n", 1, Utf16(u"\0"s)},
        ValueCase{"ExpandString", "\"RootDir\"=str(2):\"%ProgramFiles%\\\\BDS\"\n", 2,
                  Utf16(u"%ProgramFiles%\\BDS\0"s)},
        ValueCase{"MultiString", "\"RootDir\"=str(7):\"a\\0b\\0\"\n", 7, Utf16(u"a\0b\0\0"s)},
        ValueCase{"Dword", "\"RootDir\"=dword:00000005\n", 4, "\x05\0\0\0"s},
        ValueCase{"Binary", "\"RootDir\"=hex:01,02,ff\n", 3, "\x01\x02\xff"s},
        ValueCase{"EmptyBinary", "\"RootDir\"=hex:\n", 3, ""},
        ValueCase{"TypedHex", "\"RootDir\"=hex(1):43,00,00,00,6a,00\n", 1, Utf16(u"C\0j"s)},
        ValueCase{"Continued", "\"RootDir\"=hex(2):43,00,\\\n  3a,00,\\\n  00,00\n", 2,
                  Utf16(u"C:\0"s)},
        ValueCase{"Escapes", "\"RootDir\"=\"q\\\"t\\\\n\\n\\r\\t\\x41\\xfc\\x263a!\"\n", 1,
                  Utf16(u"q\"t\\n\n\r\tA\u00fc\u263a!\0"s)},
        ValueCase{"Octal", "\"RootDir\"=\"a\\101\\0b\"\n", 1, Utf16(u"aA\0b\0"s)},
        ValueCase{"Utf8InTheFile", "\"RootDir\"=\"C:\\\\B\xc3\xbcro\"\n", 1,
                  Utf16(u"C:\\B\u00fcro\0"s)},
        ValueCase{"NameInOtherCase", "\"ROOTDIR\"=\"x\"\n", 1, Utf16(u"x\0"s)},
        ValueCase{"LastOneCounts", "\"RootDir\"=\"a\"\n\"RootDir\"=\"b\"\n", 1, Utf16(u"b\0"s)},
        ValueCase{"MalformedLaterOneIgnored", "\"RootDir\"=\"a\"\n\"RootDir\"=\"b\n", 1,
                  Utf16(u"a\0"s)},
        ValueCase{"Missing", "\"Other\"=\"x\"\n@=\"y\"\n", std::nullopt, ""},
        ValueCase{"UnterminatedString", "\"RootDir\"=\"C:\\\\BDS\n", std::nullopt, ""},
        ValueCase{"BadEscapeAtEnd", "\"RootDir\"=\"C:\\", std::nullopt, ""},
        ValueCase{"EmptyHexEscape", "\"RootDir\"=\"\\xg\"\n", std::nullopt, ""},
        ValueCase{"TruncatedHex", "\"RootDir\"=hex:01,0", 3, "\x01\x00"s},
        ValueCase{"BadHex", "\"RootDir\"=hex:01,zz\n", std::nullopt, ""},
        ValueCase{"ContinuationNeverEnds", "\"RootDir\"=hex:01,\\\n", std::nullopt, ""},
        ValueCase{"BadDword", "\"RootDir\"=dword:\n", std::nullopt, ""},
        ValueCase{"UnknownType", "\"RootDir\"=blob:00\n", std::nullopt, ""},
        ValueCase{"GarbageAfterString", "\"RootDir\"=\"a\"b\n", std::nullopt, ""},
        ValueCase{"ValueOfTheNextKeyIsNotOurs",
                  "[Software\\\\Other] 1\n\"RootDir\"=\"C:\\\\Other\"\n", std::nullopt, ""}),
    [](const testing::TestParamInfo<ValueCase>& param) { return std::string(param.param.name); });

TEST(HiveKeyScannerTest, AnEndlessLineIsSkipped) {
  std::string hive = Hive(std::string(kWowHeader) + "\"Long\"=\"" + std::string(3 << 20, 'x') +
                          "\"\n\"RootDir\"=\"C:\\\\BDS\"\n");
  const auto lines = Scan(hive, 1 << 16);
  ASSERT_TRUE(lines);
  EXPECT_TRUE(FindHiveValue(*lines, "RootDir"));
  EXPECT_FALSE(FindHiveValue(*lines, "Long"));
  // No line break at all, to the end of the file.
  EXPECT_TRUE(Scan(Hive(std::string(kWowHeader) + std::string(3 << 20, '"')), 1 << 16));
}

TEST(Utf16LeToUtf8Test, ConvertsCodeUnitsWithNulsKept) {
  EXPECT_EQ(Utf16LeToUtf8(Utf16(u"C:\\B\u00fcro\0"s)), "C:\\B\xc3\xbcro\0"s);
  EXPECT_EQ(Utf16LeToUtf8(Utf16(u"\u263a\U0001F600"s)), "\xe2\x98\xba\xf0\x9f\x98\x80");
  EXPECT_EQ(Utf16LeToUtf8(Utf16(u"\xd800x"s)), "\xef\xbf\xbdx");
  EXPECT_EQ(Utf16LeToUtf8("A\0B"s), "A");
  // Wine reports 7 for this value: its seven code units, the NULs among them.
  EXPECT_EQ(Utf16LeToUtf8(Utf16(u"C:\\Q\0j\0"s)).size(), 7u);
}

}  // namespace
}  // namespace qvhelp::platform::posix
