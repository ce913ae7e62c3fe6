// Finds the IDE's installation through the registry. Every failure becomes a negative answer or
// an empty string; only memory running out passes on, as std::bad_alloc.
#pragma once

#include <string>

namespace qvhelp {

// Whether the IDE's key can be opened with all access rights.
bool InstallKeyExists();

// The "RootDir" value of the IDE's key as stored, cut at its first NUL; empty when the key or
// the value is missing, unreadable or not a string.
std::string ReadInstallRoot();

}  // namespace qvhelp
