// A machine the program runs on in the end-to-end tests: its registry, its drive C:, and how
// the program is started there.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/harness/cases.h"
#include "tests/harness/child_process.h"

namespace qvhelp::harness {

// How a run differs from the plain one.
struct RunOptions {
  std::map<std::string, std::string> environment = {};  // more variables for the program
  std::string program = {};                             // another build; empty: the machine's own
};

class Machine {
 public:
  virtual ~Machine() = default;
  virtual const PlatformTraits& Traits() const = 0;
  // A clean drive C: with the case's files, and the case's registry key.
  virtual void Prepare(const Case& c) = 0;
  // Runs the program as the case says, with the catalogue held open by another process if so.
  ChildResult Run(const Case& c) { return Run(c, {}); }
  virtual ChildResult Run(const Case& c, const RunOptions& options) = 0;
  virtual std::filesystem::path DriveC() const = 0;
};

// Whether the case's key is in the 64-bit view: the view it names, or the program's own.
bool KeyIn64BitView(const Case& c, const PlatformTraits& traits);

// The key's section in the hive's text format, in the view the case names; empty without a key.
std::string HiveKeySection(const Case& c, const PlatformTraits& traits);

// A file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// The folders under drive C: that a case may touch; everything in them is compared.
std::vector<std::string> WatchedFolders(const Case& c);

// Removes a tree that may hold read-only entries, making them writable first. Links are not
// followed: a drive's link may point at /.
void RemoveTree(const std::filesystem::path& path);

void LayDownEntries(const std::filesystem::path& drive_c, const std::vector<Entry>& entries);

// Files under the watched folders, and the folders the case names, keyed by path.
std::map<std::string, Entry> Snapshot(const std::filesystem::path& drive_c, const Case& c);

}  // namespace qvhelp::harness
