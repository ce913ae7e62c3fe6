// Names compared as Windows compares them: key names, value names and file names alike, each
// character upper-cased through one table.
#pragma once

#include <string_view>

namespace qvhelp::platform::posix {

char32_t UpperCaseBeyondAscii(char32_t c);

// The upper case of a character, for the letters of the scripts names commonly use: Latin,
// Greek and Cyrillic. Any other character is its own upper case.
inline char32_t UpperCase(char32_t c) {
  if (c >= 0x80) return UpperCaseBeyondAscii(c);
  return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
}

// Whether two UTF-16 names are the same name.
bool SameName(std::u16string_view a, std::u16string_view b);

}  // namespace qvhelp::platform::posix
