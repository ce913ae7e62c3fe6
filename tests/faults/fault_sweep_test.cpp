// Nothing lost, whatever fails: every allocation and every operation of the platform layer made
// to fail in turn, the process killed at each of them, a disk that fills up, another process
// holding the catalogue's lock, and the order of the system calls that replace the catalogue.
//
//   qvhelp_fault_tests --program=qvhelp-remove --faults-program=qvhelp-remove-faults
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "tests/e2e/e2e_cases.h"
#include "tests/faults/fault_log.h"
#include "tests/harness/catalogue.h"
#include "tests/harness/flags.h"
#include "tests/harness/linux_machine.h"

namespace qvhelp::faults {
namespace {

using namespace harness;
namespace fs = std::filesystem;

struct Catalogue {
  std::string name;
  std::string original;
  std::string patched;  // what a run that finishes leaves
};

void PrintTo(const Catalogue& catalogue, std::ostream* out) { *out << catalogue.name; }

// `lines` lines, the marker's entry block at `marker_index` (none when negative).
Catalogue MakeCatalogue(std::string name, int lines, int marker_index, std::string_view brk) {
  std::string original = CatalogueText(lines, marker_index, brk);
  std::string patched = marker_index < 0 ? original : PatchedCatalogueText(lines, marker_index);
  return {std::move(name), std::move(original), std::move(patched)};
}

const std::vector<Catalogue>& Catalogues() {
  static const std::vector<Catalogue> catalogues = {
      MakeCatalogue("MarkerFound", 10, 4, "\r\n"),
      MakeCatalogue("MarkerAbsent", 10, -1, "\r\n"),
      MakeCatalogue("LfLineEnds", 10, 4, "\n"),
      MakeCatalogue("Large", 60000, 30000, "\r\n"),
  };
  return catalogues;
}

Case CaseFor(const Catalogue& catalogue) {
  return {.name = catalogue.name,
          .key_values = kRootDirValue,
          .before = {File(kToc, catalogue.original), File(kHxS, "HxS"), File(kHxI, "HxI")}};
}

// What the fault-injection build said at exit: whether the fault it was told of was reached.
bool Reached(const std::string& log, std::string_view kind) {
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(kind)) return line.ends_with(" reached");
  }
  ADD_FAILURE() << "no " << kind << " line in the fault log: " << log;
  return false;
}

enum class Expect {
  kAnything,
  kNotSilent,        // status 0 only with the whole run done
  kReported,         // status 1, whichever text the catalogue holds
  kReportedFailure,  // status 1 with the catalogue as it was
  kCompletion,
};

// The promise: the catalogue is the original or the patched text and nothing between, a
// failure ends with the report and status 1, and no file but the backup copy appears.
void CheckRun(const Catalogue& catalogue, const Case& c, const ChildResult& result,
              const std::map<std::string, Entry>& files, Expect expect, const std::string& what) {
  SCOPED_TRACE(catalogue.name + ", " + what);
  ASSERT_TRUE(result.exit_status == 0 || result.exit_status == 1)
      << "status " << result.exit_status << "\n"
      << result.standard_error;
  EXPECT_EQ(result.standard_output, "");
  if (result.exit_status == 1) {
    static const std::regex report(
        "Exception E[A-Za-z]+ in module qvhelp-remove-faults at "
        "[0-9A-F]{8}\\.\r\n[^\r\n]*\r\n\r\n");
    EXPECT_TRUE(std::regex_match(result.standard_error, report)) << result.standard_error;
  } else {
    EXPECT_EQ(result.standard_error, "");
  }
  const auto toc = files.find(kToc);
  ASSERT_NE(toc, files.end());
  EXPECT_TRUE(toc->second.contents == catalogue.original ||
              toc->second.contents == catalogue.patched)
      << "the catalogue is neither the original nor the patched text";
  for (const auto& [path, entry] : files) {
    if (path == kBackup) {
      EXPECT_EQ(entry.contents, catalogue.original) << "the backup copy is not the original";
    } else if (path != kToc) {
      const auto before = std::find_if(c.before.begin(), c.before.end(),
                                       [&](const Entry& e) { return e.path == path; });
      EXPECT_NE(before, c.before.end()) << path << " appeared";
      if (before != c.before.end()) {
        EXPECT_EQ(entry.contents, before->contents) << path;
      }
    }
  }
  if (expect == Expect::kReported || expect == Expect::kReportedFailure) {
    EXPECT_EQ(result.exit_status, 1) << "a failure the run must report ended with success";
  }
  if (expect == Expect::kReportedFailure) {
    EXPECT_EQ(toc->second.contents, catalogue.original);
  }
  if (expect == Expect::kCompletion || (expect == Expect::kNotSilent && result.exit_status == 0)) {
    EXPECT_EQ(result.exit_status, 0) << result.standard_error;
    EXPECT_EQ(toc->second.contents, catalogue.patched);
    EXPECT_FALSE(files.contains(kBackup));
    EXPECT_FALSE(files.contains(kHxS));
    EXPECT_FALSE(files.contains(kHxI));
  }
}

// The operations of the platform layer that a fault can be injected into, and what a run must
// do when the injected fault is reached.
struct FaultKind {
  std::string name;
  Expect when_reached;
  std::vector<std::string> transfers;  // for a read or a write: the bytes let through
};

const std::vector<FaultKind>& FaultKinds() {
  static const std::vector<FaultKind> kinds = {
      {"find", Expect::kAnything, {""}},
      {"open-read", Expect::kReportedFailure, {""}},
      {"read", Expect::kReportedFailure, {":0", ":1", ":100"}},
      {"open-write", Expect::kReportedFailure, {""}},
      {"create-new", Expect::kReportedFailure, {""}},
      {"write", Expect::kReportedFailure, {":0", ":1", ":100"}},
      {"flush", Expect::kReportedFailure, {""}},
      {"swap", Expect::kReportedFailure, {""}},
      // The swap is done; only the folder's flush, which makes it durable, failed.
      {"swap-sync", Expect::kReported, {""}},
      {"copy", Expect::kAnything, {""}},
      {"delete", Expect::kAnything, {""}},
      {"reg-open", Expect::kAnything, {""}},
      {"reg-query", Expect::kAnything, {""}},
  };
  return kinds;
}

// One catalogue per test, so that the sweeps of different catalogues can run side by side.
class FaultSweepTest : public testing::TestWithParam<Catalogue> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(TestFlags().faults_program.empty()) << "no --faults-program";
    log_ = fs::temp_directory_path() / ("qvhelp-fault-log." + std::to_string(::getpid()));
  }
  void TearDown() override { fs::remove(log_); }

  // Runs the case with the fault described by `environment`; true when the fault was reached.
  bool RunWithFault(const Catalogue& catalogue, std::map<std::string, std::string> environment,
                    std::string_view log_kind, Expect expect_when_reached,
                    const std::string& what) {
    const Case c = CaseFor(catalogue);
    machine_.Prepare(c);
    fs::remove(log_);
    environment["QVHELP_FAULT_LOG"] = log_.string();
    const ChildResult result = machine_.Run(c, {.environment = environment});
    const bool reached = Reached(ReadWholeFile(log_), log_kind);
    CheckRun(catalogue, c, result, Snapshot(machine_.DriveC(), c),
             reached ? expect_when_reached : Expect::kCompletion, what);
    return reached;
  }

  LinuxMachine machine_{TestFlags().faults_program};
  fs::path log_;
};

TEST_P(FaultSweepTest, EveryAllocationFailsInTurn) {
  const Catalogue& catalogue = GetParam();
  std::size_t n = 1;
  for (;; ++n) {
    const bool reached =
        RunWithFault(catalogue, {{"QVHELP_FAIL_ALLOCATION", std::to_string(n)}}, "alloc",
                     Expect::kNotSilent, "allocation " + std::to_string(n));
    if (::testing::Test::HasFailure() || !reached) break;
  }
  RecordProperty("allocation_points", static_cast<int>(n - 1));
  std::cout << "allocation points swept, " << catalogue.name << ": " << n - 1 << "\n";
}

TEST_P(FaultSweepTest, EveryPlatformOperationFailsInTurn) {
  const Catalogue& catalogue = GetParam();
  std::size_t injected = 0;
  for (const FaultKind& kind : FaultKinds()) {
    for (const std::string& transfer : kind.transfers) {
      for (std::size_t n = 1;; ++n) {
        const std::string fault = kind.name + ":" + std::to_string(n) + transfer;
        const bool reached =
            RunWithFault(catalogue, {{"QVHELP_FAULT", fault}}, "io", kind.when_reached, fault);
        if (::testing::Test::HasFailure() || !reached) break;
        ++injected;
      }
    }
  }
  RecordProperty("io_faults", static_cast<int>(injected));
  std::cout << "I/O faults injected, " << catalogue.name << ": " << injected << "\n";
}

// The process ended at once at every call of every platform operation, which includes each step
// of the swap (after the new file is written, after its flush, after the rename, before the
// backup copy is deleted): right after the kill the catalogue is the original or the patched
// text, byte for byte, and one clean run afterwards finishes the job and leaves nothing behind.
TEST_P(FaultSweepTest, KilledAtEveryPlatformOperation) {
  const Catalogue& catalogue = GetParam();
  const Case c = CaseFor(catalogue);
  std::size_t kills = 0;
  for (const FaultKind& kind : FaultKinds()) {
    for (std::size_t n = 1;; ++n) {
      const std::string point = kind.name + ":" + std::to_string(n);
      SCOPED_TRACE(catalogue.name + ", killed at " + point);
      machine_.Prepare(c);
      const ChildResult killed = machine_.Run(c, {.environment = {{"QVHELP_KILL", point}}});
      if (killed.exit_status != kKilledStatus) break;  // the run has no such call
      ++kills;
      const auto after_kill = Snapshot(machine_.DriveC(), c);
      ASSERT_TRUE(after_kill.contains(kToc));
      EXPECT_TRUE(after_kill.at(kToc).contents == catalogue.original ||
                  after_kill.at(kToc).contents == catalogue.patched)
          << "the catalogue is torn right after the kill";
      const ChildResult rerun = machine_.Run(c);
      CheckRun(catalogue, c, rerun, Snapshot(machine_.DriveC(), c), Expect::kCompletion,
               "the run after the kill");
      if (::testing::Test::HasFailure()) return;
    }
  }
  RecordProperty("kill_points", static_cast<int>(kills));
  std::cout << "kill points, " << catalogue.name << ": " << kills << "\n";
}

INSTANTIATE_TEST_SUITE_P(Catalogues, FaultSweepTest, testing::ValuesIn(Catalogues()),
                         [](const testing::TestParamInfo<Catalogue>& param) {
                           return param.param.name;
                         });

// The system calls of one run, as strace sees them, in the order the promise needs: the new
// text written and flushed, then renamed over the catalogue, then the folder flushed, and only
// then the backup copy deleted; the catalogue itself never truncated nor written.
TEST(SystemCallOrderTest, TheNewTextIsFlushedAndSwappedInBeforeTheBackupGoes) {
  const std::string strace = "/usr/bin/strace";
  ASSERT_EQ(::access(strace.c_str(), X_OK), 0) << "strace is not installed";
  const Catalogue& catalogue = Catalogues().front();
  const Case c = CaseFor(catalogue);
  LinuxMachine machine(TestFlags().program);
  machine.Prepare(c);
  const fs::path trace = machine.DriveC().parent_path() / "strace.log";
  const ChildResult result = RunChild(
      {.argv = {strace, "-f", "-qq", "-y", "-o", trace.string(), "-e",
                "trace=open,openat,creat,write,pwrite64,writev,pwritev,ftruncate,truncate,fsync,"
                "fdatasync,rename,renameat,renameat2,unlink,unlinkat",
                TestFlags().program},
       .working_directory = machine.DriveC(),
       // LeakSanitizer, in the sanitizer build, cannot work under a tracer.
       .environment = {{"WINEPREFIX", machine.DriveC().parent_path().string()},
                       {"ASAN_OPTIONS", "detect_leaks=0"}}});
  ASSERT_EQ(result.exit_status, 0) << result.standard_error;
  ASSERT_EQ(Snapshot(machine.DriveC(), c).at(kToc).contents, catalogue.patched);

  std::vector<std::string> calls;
  {
    std::istringstream lines(ReadWholeFile(trace));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
  }
  // Where the first call that matches comes, or the end when none does.
  auto first = [&](const std::string& pattern) {
    const std::regex wanted(pattern);
    std::size_t i = 0;
    while (i < calls.size() && !std::regex_search(calls[i], wanted)) ++i;
    return i;
  };
  auto last = [&](const std::string& pattern) {
    const std::regex wanted(pattern);
    std::size_t i = calls.size();
    while (i > 0 && !std::regex_search(calls[i - 1], wanted)) --i;
    return i == 0 ? calls.size() : i - 1;
  };
  const std::string toc_fd = "\\(\\d+<[^>]*/bds3\\.HxT>";
  const std::string new_fd = "\\(\\d+<[^>]*/bds3\\.HxT\\.qvhelp-new>";
  SCOPED_TRACE(ReadWholeFile(trace));
  EXPECT_EQ(first("open(at)?\\(.*/bds3\\.HxT\".*O_TRUNC"), calls.size()) << "opened with O_TRUNC";
  EXPECT_EQ(first("^\\d+ +(p?write(v|64)?|ftruncate|fsync)" + toc_fd), calls.size())
      << "the catalogue itself was written, truncated or flushed";
  EXPECT_EQ(first("truncate\\(\".*/bds3\\.HxT\""), calls.size()) << "the catalogue was truncated";

  const std::size_t written = last("^\\d+ +p?write(v|64)?" + new_fd);
  const std::size_t flushed = first("^\\d+ +fsync" + new_fd);
  const std::size_t swapped = first("rename(at2?)?\\(.*/bds3\\.HxT\\.qvhelp-new\".*/bds3\\.HxT\"");
  const std::size_t folder_flushed = first("^\\d+ +fsync\\(\\d+<[^>]*/Help/Common>");
  const std::size_t backup_deleted = first("unlink(at)?\\(.*/bds3\\.~HxT\"");
  ASSERT_LT(backup_deleted, calls.size()) << "the backup copy was not deleted";
  EXPECT_LT(written, flushed) << "the new text was not flushed after it was written";
  EXPECT_LT(flushed, swapped) << "the new text was not flushed before the swap";
  EXPECT_LT(swapped, folder_flushed) << "the folder was not flushed after the swap";
  EXPECT_LT(folder_flushed, backup_deleted) << "the backup copy went before the swap was durable";
}

// The catalogue becomes a new file; it keeps its permission bits and, when the run is root's,
// its owner, as Windows' ReplaceFileA keeps the attributes and security of the file it replaces.
TEST(ReplacementTest, TheNewCatalogueKeepsThePermissionsAndOwner) {
  const Catalogue& catalogue = Catalogues().front();
  const Case c = CaseFor(catalogue);
  LinuxMachine machine(TestFlags().program);
  machine.Prepare(c);
  const fs::path toc = machine.DriveC() / kToc;
  ASSERT_EQ(::chmod(toc.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(toc.c_str(), 1234, 5678), 0);
  }
  const ChildResult result = machine.Run(c);
  ASSERT_EQ(result.exit_status, 0) << result.standard_error;
  struct stat status;
  ASSERT_EQ(::stat(toc.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
  }
  EXPECT_EQ(Snapshot(machine.DriveC(), c).at(kToc).contents, catalogue.patched);
}

// Holds a tmpfs mounted over a folder for as long as it lives.
class SmallDisk {
 public:
  SmallDisk(const fs::path& where, const std::string& size) : where_(where) {
    fs::create_directories(where);
    mounted_ = ::mount("tmpfs", where.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

TEST(DiskFullTest, APatchThatDoesNotFitLeavesTheOriginal) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  // LF line ends on short lines: the patched text, with CR LF, is half as large again, so the
  // original and its backup fit on the disk but the backup and the patched text do not.
  Catalogue catalogue{"DiskFull", "", ""};
  for (int i = 0; i < 512 * 1024; ++i) catalogue.original += i == 1000 ? kMarkerLine + "\n" : "x\n";
  Case c = CaseFor(catalogue);
  const Entry toc = c.before.front();
  c.before.erase(c.before.begin());
  LinuxMachine machine(TestFlags().program);
  machine.Prepare(c);
  const SmallDisk disk(machine.DriveC() / "BDS", "2304k");
  if (!disk.mounted()) GTEST_SKIP() << "this machine does not let a tmpfs be mounted";
  LayDownEntries(machine.DriveC(), {toc});

  const ChildResult result = machine.Run(c);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_TRUE(std::regex_match(result.standard_error,
                               std::regex("Exception EWriteError in module qvhelp-remove at "
                                          "[0-9A-F]{8}\\.\r\nStream write error\\.\r\n\r\n")))
      << result.standard_error;
  const auto files = Snapshot(machine.DriveC(), c);
  ASSERT_TRUE(files.contains(kToc));
  EXPECT_TRUE(files.at(kToc).contents == catalogue.original) << "the original is not back";
  ASSERT_TRUE(files.contains(kBackup));
  EXPECT_TRUE(files.at(kBackup).contents == catalogue.original);
}

TEST(LockTest, ARunIsRefusedAtOnceWhileAnotherProcessHoldsTheLock) {
  LinuxMachine machine(TestFlags().program);
  const auto& cases = e2e::AllCases();
  auto named = [&](const std::string& name) {
    return *std::find_if(cases.begin(), cases.end(), [&](const Case& c) { return c.name == name; });
  };
  const Case held = named("CatalogueHeldOpenForWriting");
  const Case free = named("Patched");
  for (int round = 0; round < 10; ++round) {
    const Case& c = round % 2 == 0 ? held : free;
    machine.Prepare(c);
    const ChildResult result = machine.Run(c);
    EXPECT_EQ(result.exit_status, c.exit_status) << c.name << " round " << round;
    EXPECT_EQ(Snapshot(machine.DriveC(), c), ExpectedAfter(c)) << c.name << " round " << round;
  }
}

}  // namespace
}  // namespace qvhelp::faults
