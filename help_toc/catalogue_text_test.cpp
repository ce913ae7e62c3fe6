#include "help_toc/catalogue_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvhelp {
namespace {

std::string Joined(std::string_view text) {
  std::string joined;
  AppendWithCrLfBreaks(text, joined);
  return joined;
}

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
  const CatalogueMeasure measure = MeasureCatalogue(c.text);
  EXPECT_EQ(measure.lines, c.lines.size());
  EXPECT_EQ(measure.size_with_crlf_breaks, c.joined.size());
  EXPECT_EQ(measure.only_crlf_breaks, c.text == c.joined || c.text + "\r\n" == c.joined);
  EXPECT_EQ(Joined(c.text), c.joined);
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

// The break rules written the plain way, byte by byte.
std::string WithCrLfBreaks(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += (text[i] == '\r' || text[i] == '\n') ? std::string("\r\n") : std::string(1, text[i]);
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') out += "\r\n";
  return out;
}

// Large texts are copied in blocks where every break is CR LF: a stray break anywhere, on
// either side of a block's edge, must still be made CR LF.
TEST(CatalogueTextTest, LargeTextsWithStrayBreaksAnywhere) {
  const std::string line = "<HelpTOCNode Title=\"Topic\" Url=\"topic.htm\"/>";
  std::string clean;
  while (clean.size() < 300 * 1024) clean += line + "\r\n";
  for (std::size_t at : {std::size_t{0}, std::size_t{65535}, std::size_t{65536}, std::size_t{65537},
                         std::size_t{131071}, clean.size() - 2, clean.size() - 1}) {
    for (std::string stray : {"\n", "\r", "\n\r", "\r\r\n", "\n\n", "x"}) {
      std::string text = clean;
      text.insert(at, stray);
      EXPECT_EQ(Joined(text), WithCrLfBreaks(text)) << at << " " << stray.size();
      EXPECT_EQ(MeasureCatalogue(text).size_with_crlf_breaks, WithCrLfBreaks(text).size());
    }
  }
  // A text without a break before its end, and one of lone LFs.
  const std::string unterminated = clean + std::string(70000, 'y');
  EXPECT_EQ(Joined(unterminated), WithCrLfBreaks(unterminated));
  std::string lf_only;
  while (lf_only.size() < 200 * 1024) lf_only += line + "\n";
  EXPECT_EQ(Joined(lf_only), WithCrLfBreaks(lf_only));
}

}  // namespace
}  // namespace qvhelp
