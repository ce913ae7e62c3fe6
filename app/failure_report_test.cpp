#include "app/failure_report.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace qvhelp {
namespace {

std::string Text(const FailureReport& report) {
  std::string text;
  for (std::string_view piece : report.Pieces()) text.append(piece);
  return text;
}

TEST(FailureReportTest, NamesTheKindModuleAndPositionAndEndsTheMessageWithAStop) {
  struct Case {
    const char* message;
    const char* second_line;
  };
  const Case cases[] = {
      {"Stream write error", "Stream write error.\r\n"},
      {"Out of memory.", "Out of memory.\r\n"},
      {"Cannot open file \"C:\\x\". ", "Cannot open file \"C:\\x\". .\r\n"},
      {"", "\r\n"},
  };
  for (const Case& c : cases) {
    const FailureReport report("EWriteError", c.message, reinterpret_cast<const void*>(&Text));
    const std::string text = Text(report);
    const std::regex first_line("Exception EWriteError in module [^ ]+ at [0-9A-F]{8}\\.\r\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match, first_line, std::regex_constants::match_continuous))
        << text;
    EXPECT_EQ(text.substr(match.length()), c.second_line);
  }
}

TEST(FailureReportTest, NamesTheProgramsOwnFileWithoutItsDirectory) {
  const FailureReport report("E", "m", reinterpret_cast<const void*>(&Text));
  const std::string text = Text(report);
  EXPECT_NE(text.find(" in module qvhelp_unit_tests"), std::string::npos) << text;
}

}  // namespace
}  // namespace qvhelp
