// The file-name routines of the run.
#pragma once

#include <string>
#include <string_view>

namespace qvhelp {

// Whether the name finds an entry that is not a directory. Its timestamp does not matter: a
// file dated outside the DOS date range is still there.
bool FileExists(const std::string& name);

// The name with the extension after its last full stop replaced by `ext`, or with `ext`
// appended when no full stop follows the last backslash or colon.
std::string ChangeFileExt(std::string_view name, std::string_view ext);

}  // namespace qvhelp
