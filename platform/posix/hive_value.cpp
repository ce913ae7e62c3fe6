#include "platform/posix/hive_value.h"

#include "platform/posix/case_fold.h"
#include "platform/posix/utf8.h"
#include "platform/registry.h"

namespace qvhelp::platform::posix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view text, std::size_t& position) {
  while (position < text.size() && IsBlank(text[position])) ++position;
}

bool OnlyBlanksFrom(std::string_view text, std::size_t position) {
  SkipBlanks(text, position);
  return position == text.size();
}

bool ConsumePrefix(std::string_view text, std::size_t& position, std::string_view prefix) {
  if (text.substr(position, prefix.size()) != prefix) return false;
  position += prefix.size();
  return true;
}

// "(N):" after str or hex: the type in hex.
bool ParseTypeSuffix(std::string_view text, std::size_t& position, std::uint32_t& type) {
  if (!ConsumePrefix(text, position, "(")) return false;
  std::uint64_t value = 0;
  if (ParseHexDigits(text, position, INT32_MAX, value) == 0 || value > UINT32_MAX) return false;
  type = static_cast<std::uint32_t>(value);
  return ConsumePrefix(text, position, "):");
}

// A quoted text stands for its characters and a terminating NUL, in UTF-16LE.
bool ParseQuotedData(std::string_view text, std::size_t position, std::string& data) {
  std::u16string units;
  if (!ConsumePrefix(text, position, "\"") || !ParseEscapedText(text, position, '"', units)) {
    return false;
  }
  units.push_back(u'\0');
  data = Utf16Le(units);
  return OnlyBlanksFrom(text, position);
}

// Bytes of two hex digits or fewer, between commas.
bool ParseHexData(std::string_view text, std::size_t position, std::string& data) {
  for (;;) {
    SkipBlanks(text, position);
    if (position == text.size()) return true;
    std::uint64_t value = 0;
    if (ParseHexDigits(text, position, 2, value) == 0) return false;
    data.push_back(static_cast<char>(value));
    SkipBlanks(text, position);
    if (position == text.size()) return true;
    if (text[position++] != ',') return false;
  }
}

bool ParseDwordData(std::string_view text, std::size_t position, std::string& data) {
  std::uint64_t value = 0;
  if (ParseHexDigits(text, position, 8, value) == 0 || !OnlyBlanksFrom(text, position)) {
    return false;
  }
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return true;
}

bool ParseData(std::string_view text, std::size_t position, HiveValue& value) {
  value.data.clear();
  if (position < text.size() && text[position] == '"') {
    value.type = kRegistryString;
    return ParseQuotedData(text, position, value.data);
  }
  if (ConsumePrefix(text, position, "str")) {
    return ParseTypeSuffix(text, position, value.type) &&
           ParseQuotedData(text, position, value.data);
  }
  if (ConsumePrefix(text, position, "dword:")) {
    value.type = kRegistryDword;
    return ParseDwordData(text, position, value.data);
  }
  if (ConsumePrefix(text, position, "hex:")) {
    value.type = kRegistryBinary;
    return ParseHexData(text, position, value.data);
  }
  if (ConsumePrefix(text, position, "hex")) {
    return ParseTypeSuffix(text, position, value.type) && ParseHexData(text, position, value.data);
  }
  return false;
}

}  // namespace

int ParseHexDigits(std::string_view text, std::size_t& position, int max_digits,
                   std::uint64_t& value) {
  constexpr std::uint64_t kTooLarge = std::uint64_t{1} << 36;
  value = 0;
  int digits = 0;
  for (; digits < max_digits && position < text.size(); ++digits, ++position) {
    const char c = text[position];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) break;
    value = std::min(value * 16 + static_cast<std::uint64_t>(digit), kTooLarge);
  }
  return digits;
}

bool ParseEscapedText(std::string_view text, std::size_t& position, char terminator,
                      std::u16string& out) {
  static constexpr std::string_view kLetters = "abefnrtv";
  static constexpr std::u16string_view kLetterUnits = u"\a\b\x1b\f\n\r\t\v";
  out.clear();
  while (position < text.size()) {
    const char c = text[position];
    if (c == terminator) {
      ++position;
      return true;
    }
    if (c != '\\') {
      AppendUtf16(DecodeUtf8(text, position), out);
      continue;
    }
    if (++position == text.size()) return false;
    const char escaped = text[position];
    if (const std::size_t letter = kLetters.find(escaped); letter != std::string_view::npos) {
      out.push_back(kLetterUnits[letter]);
      ++position;
    } else if (escaped == 'x') {
      std::uint64_t value = 0;
      if (ParseHexDigits(text, ++position, 4, value) == 0) return false;
      out.push_back(static_cast<char16_t>(value));
    } else if (escaped >= '0' && escaped <= '7') {
      unsigned value = 0;
      for (int digits = 0;
           digits < 3 && position < text.size() && text[position] >= '0' && text[position] <= '7';
           ++digits) {
        value = value * 8 + static_cast<unsigned>(text[position++] - '0');
      }
      out.push_back(static_cast<char16_t>(value));
    } else {
      AppendUtf16(DecodeUtf8(text, position), out);
    }
  }
  return false;
}

std::optional<HiveValue> FindHiveValue(const std::vector<std::string>& value_lines,
                                       std::string_view name) {
  const std::u16string wanted = Utf8ToUtf16(name);
  std::u16string line_name;
  std::optional<HiveValue> found;
  HiveValue value;
  for (const std::string& line : value_lines) {
    std::size_t position = 0;
    if (line.front() == '@') {
      line_name.clear();
      position = 1;
    } else if (line.front() != '"' || !ParseEscapedText(line, ++position, '"', line_name)) {
      continue;
    }
    if (!SameName(line_name, wanted)) continue;
    if (!ConsumePrefix(line, position, "=")) continue;
    if (ParseData(line, position, value)) found = value;
  }
  return found;
}

}  // namespace qvhelp::platform::posix
