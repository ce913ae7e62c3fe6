// Reading one key out of a Wine registry hive (system.reg), in one streaming pass.
//
// A hive is a text file of several megabytes: "WINE REGISTRY Version 2", meta lines starting
// with '#', key headers such as [Software\\Borland\\BDS\\3.0] 1796960020 and value lines such
// as "RootDir"="C:\\BDS". Only the wanted key's value lines are kept. Malformed input never
// fails the scan: the key or value it spoils is simply absent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvhelp::platform::posix {

// A value as the hive stores it: string types hold UTF-16LE code units, NULs and all.
struct HiveValue {
  std::uint32_t type;
  std::string data;
};

// Finds the key that a 32-bit program names `key_path` in a hive fed in pieces. In a 64-bit
// hive ("#arch=win64") that is the key under Software\Wow6432Node.
class HiveKeyScanner {
 public:
  explicit HiveKeyScanner(std::string_view key_path);

  void Feed(std::string_view chunk);
  // After the last piece: the key's value lines, or nothing when the hive has no such key.
  std::optional<std::vector<std::string>> Finish();

 private:
  void HandleLine(std::string_view line);
  void HandleHeader(std::string_view line);
  void DropUnfinishedValue();

  std::u16string key_path_;
  std::u16string target_;
  std::string target_as_written_;  // the target as a header spells it, when it is ASCII
  std::u16string header_;          // reused for each header, so that scanning does not allocate
  std::string pending_;            // a line split across pieces
  bool pending_overlong_ = false;
  bool signature_seen_ = false;
  bool valid_ = false;
  bool any_header_seen_ = false;
  bool win64_ = false;
  bool in_target_ = false;
  bool key_found_ = false;
  bool continuing_ = false;  // the last value line ended in a backslash
  std::size_t kept_bytes_ = 0;
  std::vector<std::string> value_lines_;
};

// The last well-formed value of that name (compared case-insensitively; "" is the default
// value, written '@') among a key's value lines.
std::optional<HiveValue> FindHiveValue(const std::vector<std::string>& value_lines,
                                       std::string_view name);

// UTF-16LE bytes as UTF-8; an odd last byte is dropped, a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);

}  // namespace qvhelp::platform::posix
