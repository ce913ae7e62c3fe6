// UTF-8, the Linux backend's ANSI code page, and the UTF-16 of the registry's names and texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qvhelp::platform::posix {

// Decodes the UTF-8 sequence at `position` and moves past it. A byte that starts no valid
// sequence (a stray continuation byte, an overlong form, a surrogate) stands for itself.
inline char32_t DecodeUtf8(std::string_view text, std::size_t& position) {
  const auto lead = static_cast<unsigned char>(text[position]);
  int length = lead < 0x80                   ? 1
               : lead >= 0xC2 && lead < 0xE0 ? 2
               : lead >= 0xE0 && lead < 0xF0 ? 3
               : lead >= 0xF0 && lead < 0xF5 ? 4
                                             : 0;
  if (length <= 1 || position + length > text.size()) {
    ++position;
    return lead;
  }
  char32_t code_point = lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[position + i]);
    if ((next & 0xC0) != 0x80) {
      ++position;
      return lead;
    }
    code_point = (code_point << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code_point < kSmallest[length] || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point < 0xE000)) {
    ++position;
    return lead;
  }
  position += length;
  return code_point;
}

// Appends a code point to UTF-16 text, as a surrogate pair beyond U+FFFF.
void AppendUtf16(char32_t code_point, std::u16string& out);

// UTF-8 text as UTF-16, each byte that starts no valid sequence standing for itself.
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 code units as UTF-16LE bytes.
std::string Utf16Le(std::u16string_view units);

// UTF-16LE bytes as UTF-8; an odd last byte is dropped, a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);

}  // namespace qvhelp::platform::posix
