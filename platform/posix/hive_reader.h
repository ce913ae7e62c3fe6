// Finding one key in a Wine registry hive (system.reg), read whole.
//
// A hive is a text of a few megabytes: "WINE REGISTRY Version 2", meta lines starting with '#',
// key headers such as [Software\\Borland\\BDS\\3.0] 1796960020, and value lines such as
// "RootDir"="C:\\BDS", a value line ending in a backslash going on in the next line. Malformed
// input never fails the search: the key or value it spoils is simply absent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvhelp::platform::posix {

// The value lines of the key that a 32-bit program names `key_path`, each joined with the
// lines that go on from it; nothing when the hive has no such key. In a 64-bit hive
// ("#arch=win64") that is the key under Software\Wow6432Node.
std::optional<std::vector<std::string>> FindHiveKey(std::string_view hive,
                                                    std::string_view key_path);

}  // namespace qvhelp::platform::posix
