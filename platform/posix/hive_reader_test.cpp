#include "platform/posix/hive_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/hive_value.h"
#include "platform/posix/utf8.h"

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

std::optional<std::vector<std::string>> Scan(std::string_view hive) {
  return FindHiveKey(hive, kKey);
}

std::optional<std::string> RootDir(std::string_view hive) {
  const auto lines = Scan(hive);
  if (!lines) return std::nullopt;
  const auto value = FindHiveValue(*lines, "RootDir");
  if (!value) return std::nullopt;
  return value->data;
}

constexpr std::string_view kWowHeader =
    "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0] 1796960020\n";
constexpr std::string_view kNativeHeader = "[Software\\\\Borland\\\\BDS\\\\3.0] 1796960020\n";

TEST(FindHiveKeyTest, ThirtyTwoBitViewOfA64BitHive) {
  const std::string body = std::string(kNativeHeader) + "\"RootDir\"=\"C:\\\\Native\"\n\n" +
                           std::string(kWowHeader) + "\"RootDir\"=\"C:\\\\Wow\"\n";
  EXPECT_EQ(RootDir(Hive(body, true)), Utf16Le(u"C:\\Wow\0"s));
  EXPECT_EQ(RootDir(Hive(body, false)), Utf16Le(u"C:\\Native\0"s));
}

TEST(FindHiveKeyTest, KeyExistence) {
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

TEST(FindHiveKeyTest, NotAHive) {
  std::string body = std::string(kWowHeader) + "\"RootDir\"=\"C:\\\\BDS\"\n";
  EXPECT_FALSE(Scan("REGEDIT4\n" + body));
  EXPECT_FALSE(Scan(""));
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 7);
  EXPECT_FALSE(Scan(binary));
}

// Which lines belong to the key: a value line that ends in a backslash goes on in the next
// line, whatever that line begins with, and a header ends the key.
TEST(FindHiveKeyTest, TheKeysValueLines) {
  struct Case {
    const char* name;
    std::string body;
    std::optional<std::string> root_dir;  // as stored; nothing: no key, or no such value
  };
  const std::string wow(kWowHeader);
  const std::string other = "[Software\\\\Other] 1\n";
  const Case cases[] = {
      {"Continued", wow + "\"RootDir\"=hex(2):43,00,\\\n  3a,00,\\\n  00,00\n", Utf16Le(u"C:\0"s)},
      {"ContinuedWithCrLf", wow + "\"RootDir\"=hex(1):43,00,\\\r\n  00,00\r\n", Utf16Le(u"C\0"s)},
      {"ContinuationNeverEnds", wow + "\"RootDir\"=hex:01,\\\n", std::nullopt},
      {"ValueOfTheNextKeyIsNotOurs", wow + other + "\"RootDir\"=\"C:\\\\Other\"\n", std::nullopt},
      {"CommentsAndTimesBetweenValues", wow + "#time=1\n;; a comment\n\n\"RootDir\"=\"C\"\n",
       Utf16Le(u"C\0"s)},
      // A line that begins with '[' is no header when the line before goes on into it.
      {"HeaderContinuingAnotherKeysValue",
       other + "\"Data\"=hex:01,\\\n" + wow + "\"RootDir\"=\"C\"\n", std::nullopt},
      {"HeaderContinuingAnotherKeysValueWithCrLf",
       other + "\"Data\"=hex:01,\\\r\n" + wow + "\"RootDir\"=\"C\"\n", std::nullopt},
      {"HeaderAfterAHeaderEndingInABackslash",
       "[Software\\\\Other\\\\] 1 \\\n" + wow + "\"RootDir\"=\"C\"\n", Utf16Le(u"C\0"s)},
      {"HeaderAfterAContinuedValueThatEnded",
       other + "\"Data\"=hex:01,\\\n  02\n" + wow + "\"RootDir\"=\"C\"\n", Utf16Le(u"C\0"s)},
      {"BracketInsideAValueLine", other + "\"Data\"=\"x\\n[y]\"\n" + wow + "\"RootDir\"=\"C\"\n",
       Utf16Le(u"C\0"s)},
      {"HeaderWithCrLf",
       "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0] 1\r\n\"RootDir\"=\"C\"\r\n",
       Utf16Le(u"C\0"s)},
      {"NoLineBreakAtTheEnd", wow + "\"RootDir\"=\"C\"", Utf16Le(u"C\0"s)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RootDir(Hive(c.body)), c.root_dir) << c.name;
  }
}

// The key among many others, after long runs of other keys' value lines, as in a real hive.
TEST(FindHiveKeyTest, KeyAmongManyOthers) {
  std::string body;
  for (int key = 0; key < 2000; ++key) {
    body += "[Software\\\\Classes\\\\CLSID\\\\{" + std::to_string(key) + "}] 1\n#time=1\n";
    body += "@=\"Component\"\n\"Data\"=hex:01,02,\\\n  03,04\n\n";
  }
  const std::string hive = Hive(body + std::string(kWowHeader) + "\"RootDir\"=\"C:\\\\BDS\"\n" +
                                "[Software\\\\Zzz] 1\n\"RootDir\"=\"C:\\\\Zzz\"\n");
  EXPECT_EQ(RootDir(hive), Utf16Le(u"C:\\BDS\0"s));
}

// Lines of any length are read: the hive is read whole.
TEST(FindHiveKeyTest, LongLinesAreRead) {
  const std::string hive = Hive(std::string(kWowHeader) + "\"Long\"=\"" +
                                std::string(3 << 20, 'x') + "\"\n\"RootDir\"=\"C:\\\\BDS\"\n");
  const auto lines = Scan(hive);
  ASSERT_TRUE(lines);
  EXPECT_TRUE(FindHiveValue(*lines, "RootDir"));
  const auto long_value = FindHiveValue(*lines, "Long");
  ASSERT_TRUE(long_value);
  EXPECT_EQ(long_value->data.size(), 2 * ((3u << 20) + 1));
  // No line break at all, to the end of the file.
  EXPECT_TRUE(Scan(Hive(std::string(kWowHeader) + std::string(3 << 20, '"'))));
}

}  // namespace
}  // namespace qvhelp::platform::posix
