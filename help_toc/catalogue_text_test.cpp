#include "help_toc/catalogue_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "help_toc/help_toc_lines.h"

namespace qvhelp {
namespace {

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> lines;
  CatalogueLineReader reader(text);
  while (auto line = reader.Next()) lines.emplace_back(*line);
  return lines;
}

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
  std::string joined;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class CatalogueTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(CatalogueTextTest, SplitsAndJoinsByTheBreakRules) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(Split(c.text), c.lines);
  EXPECT_EQ(CountCatalogueLines(c.text), c.lines.size());
  EXPECT_EQ(HelpTocLines(c.text).Join(), c.joined);
}

INSTANTIATE_TEST_SUITE_P(
    BreakRules, CatalogueTextTest,
    testing::Values(
        SplitCase{"Empty", "", {}, ""}, SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
        SplitCase{"Lf", "a\nb\n", {"a", "b"}, "a\r\nb\r\n"},
        SplitCase{"LoneCr", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
        SplitCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        SplitCase{"NoFinalBreak", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
        SplitCase{"OnlyBreaks", "\r\n\n\r", {"", "", ""}, "\r\n\r\n\r\n"},
        SplitCase{"CrAtTheEnd", "a\r", {"a"}, "a\r\n"},
        SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        SplitCase{"NulIsAnOrdinaryByte",
                  std::string("a\0b\nc", 5),
                  {std::string("a\0b", 3), "c"},
                  std::string("a\0b\r\nc\r\n", 8)},
        SplitCase{"MixedBreaks", "x\r\ny\nz\rw", {"x", "y", "z", "w"}, "x\r\ny\r\nz\r\nw\r\n"}),
    [](const testing::TestParamInfo<SplitCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qvhelp
