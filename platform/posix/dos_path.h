// DOS names ("C:\BDS\Help") on the drives of a Wine prefix.
//
// Each drive is the link dosdevices/<letter>: in the prefix. Names are made absolute as
// GetFullPathNameA makes them, then each component that does not exist as spelled is matched
// case-insensitively against its directory's entries, as Windows file names are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvhelp::platform::posix {

class WineDrives {
 public:
  explicit WineDrives(std::string prefix_directory);

  // The Unix directory behind a drive letter, when the prefix has that drive.
  std::optional<std::string> Root(char letter) const;
  // The current directory in DOS form, on the drive whose target holds it (the longest target
  // wins); nothing when no drive holds it.
  std::optional<std::string> CurrentDirectory() const;

 private:
  std::string dosdevices_;
};

// The name made absolute against `current_directory` (a DOS path such as "C:\Users"): '/' is
// taken for '\', a run of separators counts as one, "." and ".." are resolved. A rooted name
// without a drive takes the current drive. Empty when it cannot be made absolute.
std::string MakeFullDosPath(std::string_view name,
                            const std::optional<std::string>& current_directory);

// The existing Unix path that a full DOS path names.
std::optional<std::string> FindUnixPath(const WineDrives& drives, std::string_view full_path);

// Where a file of that full DOS path is to be created: its directory must exist; the last
// component is an existing entry's name when one matches, else as spelled.
std::optional<std::string> UnixPathToCreate(const WineDrives& drives, std::string_view full_path);

// Whether two file names are the same to Windows, which ignores letter case.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace qvhelp::platform::posix
