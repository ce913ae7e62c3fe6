// The text of a Wine hive's value lines: a value's name and data as Wine writes them.
//
// A value line is "Name"=data, or @=data for the key's default value. The data is one of
// "text", str(N):"text", dword:XXXXXXXX, hex:bytes and hex(N):bytes, N being the type in hex.
// Names and texts use Wine's escapes.
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

// Reads up to `max_digits` hex digits at `position` and moves past them; the count read. A
// value too large for 32 bits stays larger than any 32-bit value.
int ParseHexDigits(std::string_view text, std::size_t& position, int max_digits,
                   std::uint64_t& value);

// Decodes escaped text from `position` up to the unescaped `terminator`, leaving `position`
// after it; false when the terminator never comes or an escape is malformed. The escapes are
// Wine's: \a \b \e \f \n \r \t \v, up to three octal digits, \x and up to four hex digits (one
// UTF-16 code unit), and a backslash before any other character for that character.
bool ParseEscapedText(std::string_view text, std::size_t& position, char terminator,
                      std::u16string& out);

// The last well-formed value of that name (compared as Windows compares names; "" is the
// default value) among a key's value lines.
std::optional<HiveValue> FindHiveValue(const std::vector<std::string>& value_lines,
                                       std::string_view name);

}  // namespace qvhelp::platform::posix
