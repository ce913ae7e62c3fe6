#include "platform/posix/utf8.h"

namespace qvhelp::platform::posix {

void AppendUtf16(char32_t code_point, std::u16string& out) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  }
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (std::size_t position = 0; position < text.size();) {
    AppendUtf16(DecodeUtf8(text, position), out);
  }
  return out;
}

std::string Utf16Le(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(2 * units.size());
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16LeToUtf8(std::string_view utf16le) {
  std::string out;
  out.reserve(utf16le.size());
  auto unit_at = [&](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                 (static_cast<unsigned char>(utf16le[2 * i + 1]) << 8));
  };
  const std::size_t units = utf16le.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    char32_t code_point = unit_at(i);
    if (code_point >= 0xD800 && code_point < 0xDC00 && i + 1 < units && unit_at(i + 1) >= 0xDC00 &&
        unit_at(i + 1) < 0xE000) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (unit_at(++i) - 0xDC00);
    } else if (code_point >= 0xD800 && code_point < 0xE000) {
      code_point = 0xFFFD;
    }
    if (code_point < 0x80) {
      out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else if (code_point < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
    }
  }
  return out;
}

}  // namespace qvhelp::platform::posix
