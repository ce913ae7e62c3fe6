#include "help_toc/text_cut.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "help_toc/help_toc_lines.h"

namespace qvhelp {
namespace {

struct CutCase {
  const char* name;
  std::string text;
  std::vector<std::pair<std::size_t, std::size_t>> kept;  // offset, size
  std::string tail;
  std::string cut;
};

void PrintTo(const CutCase& c, std::ostream* out) { *out << c.name; }

class TextCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(TextCutTest, CutsWhereTheTextLiesAndUndoes) {
  const CutCase& c = GetParam();
  std::string buffer = c.text;
  std::vector<std::string_view> kept;
  for (auto [offset, size] : c.kept) kept.emplace_back(buffer.data() + offset, size);
  TextCut cut(buffer, kept, c.tail);
  EXPECT_EQ(cut.Text(), c.cut);
  EXPECT_EQ(cut.Undo(), c.text);
  EXPECT_EQ(buffer, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, TextCutTest,
    testing::Values(CutCase{"Middle", "0123456789", {{0, 3}, {6, 4}}, "", "0126789"},
                    CutCase{"Ends", "0123456789", {{2, 3}}, "", "234"},
                    CutCase{
                        "SeveralWithTail", "aaBBccDDee", {{0, 2}, {4, 2}, {8, 2}}, "!", "aaccee!"},
                    CutCase{"EmptyPieces", "abc", {{0, 0}, {3, 0}}, "", ""},
                    CutCase{"NothingCut", "abc", {{0, 3}}, "", "abc"}),
    [](const testing::TestParamInfo<CutCase>& param) { return std::string(param.param.name); });

// The join made where the text lies is the same as the join into a new string.
TEST(TextCutTest, JoinInPiecesGivesTheJoinedText) {
  const struct {
    std::string text;
    std::int64_t deleted_index;
  } cases[] = {
      {"a\r\nb\r\nM\r\nc\r\nd\r\ne\r\n", 2},
      {"a\r\nM\r\nb\r\nc\r\nlast", 1},
      {"M\r\nb\r\nc\r\n", 0},
      {"a\r\nb\r\nM\r\nc\r\nd", 2},
  };
  for (const auto& c : cases) {
    std::string buffer = c.text;
    HelpTocLines lines(buffer);
    for (int i = 0; i < 3; ++i) lines.Delete(c.deleted_index);
    const std::string expected = lines.Join();
    auto joined = lines.JoinInPieces();
    ASSERT_TRUE(joined) << c.text;
    TextCut cut(buffer, joined->pieces, joined->tail);
    EXPECT_EQ(cut.Text(), expected) << c.text;
    EXPECT_EQ(cut.Undo(), c.text);
  }
}

TEST(TextCutTest, NoPiecesWhenTheBreaksChangeOrTheTextWouldGrow) {
  EXPECT_FALSE(HelpTocLines("a\nb\r\n").JoinInPieces());
  EXPECT_FALSE(HelpTocLines("a\r\nb\r").JoinInPieces());
  // Nothing deleted and a last line without a break: the join is two bytes longer.
  EXPECT_FALSE(HelpTocLines("a\r\nb").JoinInPieces());
  EXPECT_TRUE(HelpTocLines("a\r\nb\r\n").JoinInPieces());
  EXPECT_TRUE(HelpTocLines("").JoinInPieces());
}

}  // namespace
}  // namespace qvhelp
