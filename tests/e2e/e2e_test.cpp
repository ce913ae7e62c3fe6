// Runs every end-to-end case against the built program: the Linux build (--program) on a
// prefix made by hand, or a Windows build (--wine-program, --wine-hold-open, --wine-prefix)
// under Wine; with --faults-program, the same build is also killed between the steps of the
// swap.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>

#include "tests/e2e/e2e_cases.h"
#include "tests/faults/fault_log.h"
#include "tests/harness/catalogue.h"
#include "tests/harness/flags.h"
#include "tests/harness/linux_machine.h"
#include "tests/harness/wine_machine.h"

namespace qvhelp::harness {

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << entry.path << (entry.read_only ? " (read-only)" : "") << ": ";
  switch (entry.kind) {
    case Kind::kFile:
      *out << testing::PrintToString(entry.contents);
      break;
    case Kind::kDirectory:
      *out << "<directory>";
      break;
    case Kind::kNothing:
      *out << "<nothing>";
      break;
  }
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

}  // namespace qvhelp::harness

namespace qvhelp::e2e {
namespace {

using namespace harness;

std::unique_ptr<Machine> machine;

// The machine the flags name, made once before the first case and taken down after the last.
class MachineEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    const Flags& flags = TestFlags();
    if (!flags.program.empty()) {
      machine = std::make_unique<LinuxMachine>(flags.program);
    } else if (!flags.wine_program.empty()) {
      machine = std::make_unique<WineMachine>(flags.wine_program, flags.wine_hold_open,
                                              flags.wine_prefix);
    }
  }
  void TearDown() override { machine.reset(); }
};

[[maybe_unused]] testing::Environment* const kMachineEnvironment =
    testing::AddGlobalTestEnvironment(new MachineEnvironment);

class EndToEndTest : public testing::TestWithParam<Case> {};

TEST_P(EndToEndTest, LeavesTheFilesAndReportAsExpected) {
  ASSERT_TRUE(machine) << "no program named: --program=PATH or --wine-program=PATH";
  const Case& c = GetParam();
  if (const auto skip = machine->Traits().skipped_cases.find(c.name);
      skip != machine->Traits().skipped_cases.end()) {
    GTEST_SKIP() << skip->second;
  }
  machine->Prepare(c);
  const ChildResult result = machine->Run(c);
  EXPECT_EQ(result.exit_status, c.exit_status);
  EXPECT_EQ(result.standard_output, "");
  if (c.stderr_text.empty()) {
    EXPECT_EQ(result.standard_error, "");
  } else {
    EXPECT_TRUE(MatchesStandardError(c.stderr_text, result.standard_error, machine->Traits()))
        << "standard error: " << testing::PrintToString(result.standard_error)
        << "\nexpected: " << testing::PrintToString(c.stderr_text);
  }
  EXPECT_EQ(Snapshot(machine->DriveC(), c), ExpectedAfter(c));
}

// The process ended at once at each step of the catalogue's replacement: before the new file
// is created, before each write to it, before its flush, before the swap, and before each
// deletion, the backup copy's first. Right after the kill the catalogue is the original or the
// patched text, and one plain run afterwards finishes the job and leaves nothing behind.
TEST(KillTest, KilledBetweenTheStepsOfTheSwap) {
  if (TestFlags().faults_program.empty()) GTEST_SKIP() << "no --faults-program";
  ASSERT_TRUE(machine) << "no program named: --program=PATH or --wine-program=PATH";
  const auto& cases = AllCases();
  const Case& c =
      *std::find_if(cases.begin(), cases.end(), [](const Case& x) { return x.name == "Patched"; });
  const std::map<std::string, Entry> before = ExpectedAfter(Case{.before = c.before});
  const std::map<std::string, Entry> after = ExpectedAfter(c);
  int kills = 0;
  for (const char* kind : {"open-write", "create-new", "write", "flush", "swap", "delete"}) {
    for (int n = 1;; ++n) {
      const std::string point = std::string(kind) + ":" + std::to_string(n);
      SCOPED_TRACE("killed at " + point);
      machine->Prepare(c);
      const ChildResult killed = machine->Run(
          c, {.environment = {{"QVHELP_KILL", point}}, .program = TestFlags().faults_program});
      if (killed.exit_status != faults::kKilledStatus) break;
      ++kills;
      const std::map<std::string, Entry> files = Snapshot(machine->DriveC(), c);
      ASSERT_TRUE(files.contains(kToc));
      EXPECT_TRUE(files.at(kToc) == before.at(kToc) || files.at(kToc) == after.at(kToc))
          << "the catalogue is torn right after the kill";
      const ChildResult rerun = machine->Run(c);
      EXPECT_EQ(rerun.exit_status, 0) << rerun.standard_error;
      EXPECT_EQ(Snapshot(machine->DriveC(), c), after);
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
