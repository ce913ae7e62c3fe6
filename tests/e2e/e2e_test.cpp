// Runs every end-to-end case against the built program.
//
//   qvhelp_e2e_tests --program=PATH
//       the Linux build, on a prefix made by hand
//   qvhelp_e2e_tests --wine-program=PATH.exe --wine-hold-open=HELPER.exe
//       the Windows build under Wine, on a prefix made by wineboot
//   --faults-program=PATH
//       with either: the same build with fault points, killed between the steps of the swap
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

#include "tests/e2e/e2e_cases.h"
#include "tests/e2e/linux_machine.h"
#include "tests/e2e/wine_machine.h"
#include "tests/faults/fault_log.h"

namespace qvhelp::e2e {

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

std::string& FaultsProgram() {
  static std::string program;
  return program;
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

// The process ended at once at each step of the catalogue's replacement: before the new file
// is created, before each write to it, before its flush, before the swap, and before each
// deletion, the backup copy's first. Right after the kill the catalogue is the original or the
// patched text, and one plain run afterwards finishes the job and leaves nothing behind.
TEST(KillTest, KilledBetweenTheStepsOfTheSwap) {
  if (FaultsProgram().empty()) GTEST_SKIP() << "no --faults-program";
  Machine& machine = *CurrentMachine();
  const auto& cases = AllCases();
  const Case& c =
      *std::find_if(cases.begin(), cases.end(), [](const Case& x) { return x.name == "Patched"; });
  const std::map<std::string, Entry> before = ExpectedAfter(Case{.before = c.before});
  const std::map<std::string, Entry> after = ExpectedAfter(c);
  const std::string toc = "BDS/Help/Common/bds3.HxT";
  int kills = 0;
  for (const char* kind : {"open-write", "create-new", "write", "flush", "swap", "delete"}) {
    for (int n = 1;; ++n) {
      const std::string point = std::string(kind) + ":" + std::to_string(n);
      SCOPED_TRACE("killed at " + point);
      machine.Prepare(c);
      const ChildResult killed =
          machine.Run(c, {.environment = {{"QVHELP_KILL", point}}, .program = FaultsProgram()});
      if (killed.exit_status != faults::kKilledStatus) break;
      ++kills;
      const std::map<std::string, Entry> files = Snapshot(machine.DriveC(), c);
      ASSERT_TRUE(files.contains(toc));
      EXPECT_TRUE(files.at(toc) == before.at(toc) || files.at(toc) == after.at(toc))
          << "the catalogue is torn right after the kill";
      const ChildResult rerun = machine.Run(c);
      EXPECT_EQ(rerun.exit_status, 0) << rerun.standard_error;
      EXPECT_EQ(Snapshot(machine.DriveC(), c), after);
    }
  }
  EXPECT_GE(kills, 7) << "the faults program was not killed at each step";
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
  std::string wine_program;
  std::string hold_open_helper;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string_view option) -> std::optional<std::string> {
      if (!arg.starts_with(option)) return std::nullopt;
      return std::filesystem::absolute(arg.substr(option.size())).string();
    };
    if (auto path = value("--program=")) program = *path;
    if (auto path = value("--wine-program=")) wine_program = *path;
    if (auto path = value("--wine-hold-open=")) hold_open_helper = *path;
    if (auto path = value("--faults-program=")) qvhelp::e2e::FaultsProgram() = *path;
  }
  auto& machine = qvhelp::e2e::CurrentMachine();
  if (!program.empty()) {
    machine = std::make_unique<qvhelp::e2e::LinuxMachine>(program);
  } else if (!wine_program.empty() && !hold_open_helper.empty()) {
    machine = std::make_unique<qvhelp::e2e::WineMachine>(wine_program, hold_open_helper);
  } else {
    std::fprintf(stderr, "usage: %s --program=PATH | --wine-program=PATH --wine-hold-open=PATH\n",
                 argv[0]);
    return 2;
  }
  const int status = RUN_ALL_TESTS();
  machine.reset();
  return status;
}
