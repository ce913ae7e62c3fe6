#include "help_toc/entry_block.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/errors.h"

namespace qvhelp {
namespace {

constexpr std::string_view kMarker = "Quorvane Components";

std::string Patched(std::string_view text) {
  const std::optional<EntryBlock> block = FindEntryBlock(text, kMarker);
  if (!block) return "<no marker>";
  const PatchedCatalogue patched(text, *block);
  std::string written;
  for (std::string_view span : patched.Spans()) written += span;
  return written;
}

struct PatchCase {
  const char* name;
  std::string text;
  std::string patched;  // or "<no marker>"
};

void PrintTo(const PatchCase& c, std::ostream* out) { *out << c.name; }

class EntryBlockTest : public testing::TestWithParam<PatchCase> {};

TEST_P(EntryBlockTest, RemovesTheBlockAndWritesCrLfBreaks) {
  EXPECT_EQ(Patched(GetParam().text), GetParam().patched);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EntryBlockTest,
    testing::Values(
        PatchCase{"Empty", "", "<no marker>"}, PatchCase{"NoMarker", "a\r\nb\r\n", "<no marker>"},
        PatchCase{"LowerCaseIsNoMatch", "quorvane components\r\na\r\nb\r\n", "<no marker>"},
        PatchCase{"CrLfKeptAsRead", "a\r\nQuorvane Components\r\nx\r\ny\r\nb\r\n", "a\r\nb\r\n"},
        PatchCase{"LastLineGainsABreak", "a\r\nQuorvane Components\r\nx\r\ny\r\nb", "a\r\nb\r\n"},
        PatchCase{"BlockAtTheEndWithoutBreak", "a\r\nQuorvane Components\r\nx\r\ny", "a\r\n"},
        PatchCase{"OnlyTheBlock", "Quorvane Components\nx\ny\n", ""},
        PatchCase{"LfBreaksBecomeCrLf", "a\nQuorvane Components\nx\ny\nb\nc", "a\r\nb\r\nc\r\n"},
        PatchCase{"OneStrayLfAfterTheBlock", "a\r\nQuorvane Components\r\nx\r\ny\r\nb\nc\r\n",
                  "a\r\nb\r\nc\r\n"},
        PatchCase{"OneStrayCrBeforeTheBlock", "a\rb\r\nQuorvane Components\r\nx\r\ny\r\n",
                  "a\r\nb\r\n"},
        PatchCase{"MarkerInsideALine", "a\r\n<x Quorvane Components y>\r\nx\r\ny\r\nb\r\n",
                  "a\r\nb\r\n"},
        PatchCase{"SecondMarkerInsideTheBlockGoesWithIt",
                  "a\r\nQuorvane Components\r\nQuorvane Components\r\ny\r\nb\r\n", "a\r\nb\r\n"},
        PatchCase{"SecondMarkerAfterTheBlockStays",
                  "Quorvane Components\r\nx\r\ny\r\nQuorvane Components\r\n",
                  "Quorvane Components\r\n"},
        PatchCase{"LfCrIsTwoBreaks", "a\n\rQuorvane Components\nx\ny\n\rb", "a\r\n\r\n\r\nb\r\n"},
        PatchCase{"CrLfAcrossTheBlocksEnd", "Quorvane Components\rx\ry\r\nb", "b\r\n"},
        PatchCase{"NulIsAnOrdinaryByte",
                  std::string("a\0\r\nQuorvane Components\r\nx\r\ny\r\n", 30),
                  std::string("a\0\r\n", 4)}),
    [](const testing::TestParamInfo<PatchCase>& param) { return std::string(param.param.name); });

TEST(EntryBlockTest, MarkerIndexCountsTheLinesBeforeTheMarkersLine) {
  for (const auto& [text, index] : std::vector<std::pair<std::string, std::int64_t>>{
           {"Quorvane Components\na\nb", 0},
           {"z\r\nQuorvane Components\na\nb", 1},
           {"z\n\rQuorvane Components\na\nb", 2},
           {"z\r\r\n\nQuorvane Components\na\nb", 3}}) {
    const std::optional<EntryBlock> block = FindEntryBlock(text, kMarker);
    ASSERT_TRUE(block) << text;
    EXPECT_EQ(block->MarkerIndex, index) << text;
  }
}

// Fewer than three lines from the marker's on: the list reports the marker's own index.
TEST(EntryBlockTest, ABlockCutShortByTheEndRaisesWithTheMarkersIndex) {
  for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
           {"Quorvane Components", "List index out of bounds (0)"},
           {"a\r\nb\r\nQuorvane Components\r\nx\r\n", "List index out of bounds (2)"},
           {"a\nQuorvane Components\n", "List index out of bounds (1)"},
           {"a\nQuorvane Components\nx\n\n", "<none>"}}) {
    try {
      FindEntryBlock(text, kMarker);
      EXPECT_EQ(message, "<none>") << text;
    } catch (const EStringListError& error) {
      EXPECT_EQ(error.Message(), message) << text;
    }
  }
}

// A large text takes the fast way only when every break is a CR LF; a stray break anywhere
// must still come out as CR LF.
TEST(EntryBlockTest, LargeTextsWithAStrayBreakAnywhere) {
  std::string clean;
  for (int i = 0; clean.size() < 300 * 1024; ++i) {
    clean += (i == 3000 ? std::string(kMarker) : "line " + std::to_string(i)) + "\r\n";
  }
  const std::size_t marker = clean.find(kMarker);
  const std::size_t block_end = clean.find("line 3003");
  const std::string expected = clean.substr(0, marker) + clean.substr(block_end);
  EXPECT_EQ(Patched(clean), expected);
  // Each place is inside a line, which the stray LF splits in two.
  for (std::size_t at : {std::size_t{1}, marker - 3, block_end + 3, clean.size() - 3}) {
    const std::string text = clean.substr(0, at) + "\n" + clean.substr(at);
    const std::size_t split = at < marker ? at : at - (block_end - marker);
    EXPECT_EQ(Patched(text), expected.substr(0, split) + "\r\n" + expected.substr(split)) << at;
  }
  EXPECT_EQ(Patched(clean + "last\n"), expected + "last\r\n");
}

}  // namespace
}  // namespace qvhelp
