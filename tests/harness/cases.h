// A case the program is run on: a machine's state before a run, and what the run must leave
// behind. What may differ between the platforms the program runs on is listed in one place,
// PlatformTraits.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qvhelp::harness {

// What stands at a path under drive C:.
enum class Kind { kFile, kDirectory, kNothing };

struct Entry {
  std::string path = {};  // relative to the drive, '/' between parts
  Kind kind = Kind::kFile;
  std::string contents = {};
  bool read_only = false;
  bool dated_1970 = false;  // last-write time outside the DOS date range
};

inline Entry File(std::string path, std::string contents) {
  return {.path = std::move(path), .contents = std::move(contents)};
}
inline Entry ReadOnlyFile(std::string path, std::string contents) {
  return {.path = std::move(path), .contents = std::move(contents), .read_only = true};
}
inline Entry FileDated1970(std::string path, std::string contents) {
  return {.path = std::move(path), .contents = std::move(contents), .dated_1970 = true};
}
inline Entry Directory(std::string path) {
  return {.path = std::move(path), .kind = Kind::kDirectory};
}
inline Entry Nothing(std::string path) { return {.path = std::move(path), .kind = Kind::kNothing}; }

// Entries are equal when path, kind, contents and the read-only attribute are; dates are not
// compared.
bool operator==(const Entry& a, const Entry& b);

// The registry view that holds the IDE's key. The program's own is the 32-bit view for the
// shipped program and the Linux build, which stands in for it, and the 64-bit one for the x64
// build.
enum class KeyView { kTheProgramsOwn, k64Bit };

// Who else holds the catalogue open while the program runs.
enum class HeldOpen { kNobody, kForReading, kForWriting };

struct Case {
  std::string name = {};
  // The IDE key's value lines, in the hive's text format; nothing: no key at all.
  std::optional<std::string> key_values = {};
  // A "RootDir" that an installer adds with Wine's `reg add`, in place of key_values. Machines
  // without Wine write it into the hive as text.
  std::optional<std::string> root_dir_added_by_reg = {};
  KeyView key_view = KeyView::kTheProgramsOwn;
  bool hive_read_only = false;
  std::vector<Entry> before = {};
  std::string working_directory = "";  // relative to drive C:
  HeldOpen held_open = HeldOpen::kNobody;
  std::optional<long> file_size_limit = {};  // bytes a process may write to one file
  bool stderr_closed = false;

  int exit_status = 0;
  // The exact standard error; {module}, {position} and {os:<name>} stand for the program's file
  // name, eight hex digits and the platform's text for an OS error or a character.
  std::string stderr_text = {};
  // What stands afterwards where it differs from `before`.
  std::vector<Entry> changes = {};
};

// What a platform is entitled to do differently, each with its reason.
struct PlatformTraits {
  std::string module_name;
  bool reads_64_bit_view = false;
  // An OS error's words, and a character as standard error gets it: converted to the console's
  // code page, or not at all.
  std::map<std::string, std::string> os_texts;
  std::map<std::string, std::string> skipped_cases;  // case name -> why it cannot run there
};

// The files as a run must leave them: `before` with `changes` applied, keyed by path.
std::map<std::string, Entry> ExpectedAfter(const Case& c);

// Whether `actual` is `pattern` with its placeholders filled in as the platform fills them.
bool MatchesStandardError(const std::string& pattern, const std::string& actual,
                          const PlatformTraits& traits);

}  // namespace qvhelp::harness
