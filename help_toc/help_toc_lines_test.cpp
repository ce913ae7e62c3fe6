#include "help_toc/help_toc_lines.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace qvhelp {
namespace {

TEST(HelpTocLinesTest, FindsTheFirstLineThatContainsTheNeedle) {
  const HelpTocLines lines("zero\r\none Marker here\ntwo\rthree Marker\r\n");
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines.IndexOfFirstContaining("Marker"), 1);
  EXPECT_EQ(lines.IndexOfFirstContaining("marker"), -1);
  EXPECT_EQ(lines.IndexOfFirstContaining("zero"), 0);
  EXPECT_EQ(lines.IndexOfFirstContaining("three"), 3);
}

// The first search measures the whole text in its pass; what it measures must match a list
// that measured everything first.
TEST(HelpTocLinesTest, SearchingFirstMeasuresAsCountingFirstDoes) {
  for (std::string_view text : {"a\rM\nb\r\n", "a\r\nM\r\nb", "M\n\rb\n", "a\nb\r\nM"}) {
    const HelpTocLines counted_first(text);
    const std::int64_t count = counted_first.Count();
    const HelpTocLines searched_first(text);
    EXPECT_EQ(searched_first.IndexOfFirstContaining("M"), counted_first.IndexOfFirstContaining("M"))
        << text;
    EXPECT_EQ(searched_first.Count(), count) << text;
    EXPECT_EQ(searched_first.Join(), counted_first.Join()) << text;
    EXPECT_EQ(searched_first.JoinInPieces().has_value(), counted_first.JoinInPieces().has_value())
        << text;
  }
}

TEST(HelpTocLinesTest, DeletingMovesTheFollowingLinesUp) {
  HelpTocLines lines("0\n1\n2\n3\n4\n5\n");
  lines.Delete(2);
  lines.Delete(2);
  lines.Delete(0);
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Join(), "1\r\n4\r\n5\r\n");
  lines.Delete(1);
  EXPECT_EQ(lines.Join(), "1\r\n5\r\n");
}

TEST(HelpTocLinesTest, SearchSkipsDeletedLines) {
  HelpTocLines lines("a M\nb\nc M\n");
  lines.Delete(0);
  EXPECT_EQ(lines.IndexOfFirstContaining("M"), 1);
}

TEST(HelpTocLinesTest, DeletingAllLinesLeavesAnEmptyText) {
  HelpTocLines lines("a\r\nb\r\nc");
  for (int i = 0; i < 3; ++i) lines.Delete(0);
  EXPECT_EQ(lines.Join(), "");
}

TEST(HelpTocLinesTest, DeletingOutsideTheListRaisesWithTheIndex) {
  HelpTocLines lines("a\nb\n");
  for (std::int64_t index : {-1, 2, 7}) {
    try {
      lines.Delete(index);
      ADD_FAILURE() << "no error for " << index;
    } catch (const EStringListError& error) {
      EXPECT_EQ(error.Message(), "List index out of bounds (" + std::to_string(index) + ")");
      EXPECT_EQ(error.Kind(), "EStringListError");
    }
  }
  EXPECT_EQ(lines.Count(), 2);
}

}  // namespace
}  // namespace qvhelp
