// Runs every end-to-end case against the built program.
//
//   qvhelp_e2e_tests --program=PATH   the Linux build on a hand-made prefix
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>

#include "tests/e2e/e2e_cases.h"
#include "tests/e2e/linux_machine.h"

namespace qvhelp::e2e {

bool operator==(const Entry& a, const Entry& b) {
  return a.path == b.path && a.contents == b.contents && a.read_only == b.read_only;
}

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << entry.path << (entry.read_only ? " (read-only)" : "") << ": ";
  if (!entry.contents) {
    *out << "<directory>";
  } else {
    *out << testing::PrintToString(*entry.contents);
  }
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

namespace {

std::unique_ptr<Machine>& CurrentMachine() {
  static std::unique_ptr<Machine> machine;
  return machine;
}

class EndToEndTest : public testing::TestWithParam<Case> {};

TEST_P(EndToEndTest, LeavesTheFilesAndReportAsExpected) {
  Machine& machine = *CurrentMachine();
  const Case& c = GetParam();
  if (const auto skip = machine.Traits().skipped_cases.find(c.name);
      skip != machine.Traits().skipped_cases.end()) {
    GTEST_SKIP() << skip->second;
  }
  machine.Prepare(c);
  const ChildResult result = machine.Run(c);
  EXPECT_EQ(result.exit_status, c.exit_status);
  EXPECT_EQ(result.standard_output, "");
  if (c.stderr_text.empty()) {
    EXPECT_EQ(result.standard_error, "");
  } else {
    EXPECT_TRUE(MatchesStandardError(c.stderr_text, result.standard_error, machine.Traits()))
        << "standard error: " << testing::PrintToString(result.standard_error)
        << "\nexpected: " << testing::PrintToString(c.stderr_text);
  }
  EXPECT_EQ(Snapshot(machine.DriveC(), c), ExpectedAfter(c));
}

INSTANTIATE_TEST_SUITE_P(Cases, EndToEndTest, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<Case>& param) {
                           return param.param.name;
                         });

}  // namespace
}  // namespace qvhelp::e2e

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string program;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.starts_with("--program=")) program = std::filesystem::absolute(arg.substr(10));
  }
  if (program.empty()) {
    std::fprintf(stderr, "usage: %s --program=PATH\n", argv[0]);
    return 2;
  }
  qvhelp::e2e::CurrentMachine() = std::make_unique<qvhelp::e2e::LinuxMachine>(program);
  return RUN_ALL_TESTS();
}
