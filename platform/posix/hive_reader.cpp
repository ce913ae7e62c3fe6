// Wine registry hive reader.
#include "platform/posix/hive_reader.h"

#include "platform/posix/utf8.h"

namespace qvhelp::platform::posix {
namespace {

// A line longer than any Wine writes is malformed; it is skipped rather than held.
constexpr std::size_t kMaxLineBytes = 1 << 20;
// The most of one key's value lines that is kept; more than any real key holds.
constexpr std::size_t kMaxKeptBytes = 16 << 20;

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::string_view kArchWin64 = "#arch=win64";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char16_t FoldCase(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

void AppendCodePoint(char32_t code_point, std::u16string& out) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  }
}

// Decodes escaped text from `position` up to the unescaped `terminator`, leaving `position`
// after it. The escapes are Wine's: \a \b \e \f \n \r \t \v, up to three octal digits, \x and
// up to four hex digits (one UTF-16 code unit), and a backslash before any other character
// for that character.
bool ParseText(std::string_view line, std::size_t& position, char terminator, std::u16string& out) {
  out.clear();
  while (position < line.size()) {
    const char c = line[position];
    if (c == terminator) {
      ++position;
      return true;
    }
    if (c != '\\') {
      AppendCodePoint(DecodeUtf8(line, position), out);
      continue;
    }
    if (++position == line.size()) return false;
    const char escaped = line[position++];
    switch (escaped) {
      case 'a':
        out.push_back(u'\a');
        break;
      case 'b':
        out.push_back(u'\b');
        break;
      case 'e':
        out.push_back(u'\x1b');
        break;
      case 'f':
        out.push_back(u'\f');
        break;
      case 'n':
        out.push_back(u'\n');
        break;
      case 'r':
        out.push_back(u'\r');
        break;
      case 't':
        out.push_back(u'\t');
        break;
      case 'v':
        out.push_back(u'\v');
        break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        for (; digits < 4 && position < line.size() && HexDigitValue(line[position]) >= 0;
             ++digits) {
          value = value * 16 + HexDigitValue(line[position++]);
        }
        if (digits == 0) return false;
        out.push_back(static_cast<char16_t>(value));
        break;
      }
      default:
        if (escaped >= '0' && escaped <= '7') {
          unsigned value = escaped - '0';
          for (int digits = 1; digits < 3 && position < line.size() && line[position] >= '0' &&
                               line[position] <= '7';
               ++digits) {
            value = value * 8 + (line[position++] - '0');
          }
          out.push_back(static_cast<char16_t>(value));
        } else {
          --position;
          AppendCodePoint(DecodeUtf8(line, position), out);
        }
    }
  }
  return false;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  for (std::size_t position = 0; position < text.size();) {
    AppendCodePoint(DecodeUtf8(text, position), out);
  }
  return out;
}

// Where a 32-bit program's view of HKEY_LOCAL_MACHINE\Software lies in a 64-bit hive.
std::u16string In32BitView(std::u16string_view path) {
  constexpr std::u16string_view kSoftware = u"Software";
  const std::size_t first_end = std::min(path.find(u'\\'), path.size());
  if (!EqualsIgnoringCase(path.substr(0, first_end), kSoftware)) return std::u16string(path);
  std::u16string mapped(kSoftware);
  mapped.append(u"\\Wow6432Node");
  mapped.append(path.substr(first_end));
  return mapped;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool OnlyBlanksFrom(std::string_view line, std::size_t position) {
  for (; position < line.size(); ++position) {
    if (!IsBlank(line[position])) return false;
  }
  return true;
}

bool ConsumePrefix(std::string_view line, std::size_t& position, std::string_view prefix) {
  if (line.substr(position, prefix.size()) != prefix) return false;
  position += prefix.size();
  return true;
}

// "(N):" after str or hex: the type in hex.
bool ParseTypeSuffix(std::string_view line, std::size_t& position, std::uint32_t& type) {
  if (!ConsumePrefix(line, position, "(")) return false;
  std::uint64_t value = 0;
  int digits = 0;
  for (; position < line.size() && HexDigitValue(line[position]) >= 0; ++digits) {
    value = value * 16 + HexDigitValue(line[position++]);
    if (value > UINT32_MAX) return false;
  }
  type = static_cast<std::uint32_t>(value);
  return digits > 0 && ConsumePrefix(line, position, "):");
}

void AppendUtf16Le(std::u16string_view units, std::string& out) {
  for (char16_t unit : units) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
}

bool ParseQuotedData(std::string_view line, std::size_t position, std::string& data) {
  std::u16string text;
  if (!ConsumePrefix(line, position, "\"") || !ParseText(line, position, '"', text)) return false;
  text.push_back(u'\0');  // a quoted text stands for its characters and a terminating NUL
  AppendUtf16Le(text, data);
  return OnlyBlanksFrom(line, position);
}

bool ParseHexData(std::string_view line, std::size_t position, std::string& data) {
  for (;;) {
    while (position < line.size() && IsBlank(line[position])) ++position;
    if (position == line.size()) return true;
    int value = 0;
    int digits = 0;
    for (; digits < 2 && position < line.size() && HexDigitValue(line[position]) >= 0; ++digits) {
      value = value * 16 + HexDigitValue(line[position++]);
    }
    if (digits == 0) return false;
    data.push_back(static_cast<char>(value));
    while (position < line.size() && IsBlank(line[position])) ++position;
    if (position == line.size()) return true;
    if (line[position++] != ',') return false;
  }
}

bool ParseDwordData(std::string_view line, std::size_t position, std::string& data) {
  std::uint32_t value = 0;
  int digits = 0;
  for (; digits < 8 && position < line.size() && HexDigitValue(line[position]) >= 0; ++digits) {
    value = value * 16 + HexDigitValue(line[position++]);
  }
  if (digits == 0 || !OnlyBlanksFrom(line, position)) return false;
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return true;
}

bool ParseData(std::string_view line, std::size_t position, HiveValue& value) {
  value.data.clear();
  if (position < line.size() && line[position] == '"') {
    value.type = 1;  // REG_SZ
    return ParseQuotedData(line, position, value.data);
  }
  if (ConsumePrefix(line, position, "str")) {
    return ParseTypeSuffix(line, position, value.type) &&
           ParseQuotedData(line, position, value.data);
  }
  if (ConsumePrefix(line, position, "dword:")) {
    value.type = 4;  // REG_DWORD
    return ParseDwordData(line, position, value.data);
  }
  if (ConsumePrefix(line, position, "hex:")) {
    value.type = 3;  // REG_BINARY
    return ParseHexData(line, position, value.data);
  }
  if (ConsumePrefix(line, position, "hex")) {
    return ParseTypeSuffix(line, position, value.type) && ParseHexData(line, position, value.data);
  }
  return false;
}

}  // namespace

HiveKeyScanner::HiveKeyScanner(std::string_view key_path) : key_path_(FromUtf8(key_path)) {}

void HiveKeyScanner::Feed(std::string_view chunk) {
  while (!chunk.empty()) {
    const std::size_t line_end = chunk.find('\n');
    const std::string_view piece = chunk.substr(0, line_end);
    if (!pending_overlong_ && pending_.size() + piece.size() > kMaxLineBytes) {
      pending_overlong_ = true;
      pending_.clear();
    }
    if (line_end == std::string_view::npos) {
      if (!pending_overlong_) pending_.append(piece);
      return;
    }
    if (pending_overlong_) {
      DropUnfinishedValue();
    } else if (pending_.empty()) {
      HandleLine(piece);
    } else {
      pending_.append(piece);
      HandleLine(pending_);
    }
    pending_.clear();
    pending_overlong_ = false;
    chunk.remove_prefix(line_end + 1);
  }
}

std::optional<std::vector<std::string>> HiveKeyScanner::Finish() {
  if (pending_overlong_) {
    DropUnfinishedValue();
  } else if (!pending_.empty()) {
    HandleLine(pending_);
  }
  pending_.clear();
  if (continuing_) DropUnfinishedValue();
  if (!key_found_) return std::nullopt;
  return std::move(value_lines_);
}

void HiveKeyScanner::DropUnfinishedValue() {
  if (continuing_ && in_target_ && !value_lines_.empty()) {
    kept_bytes_ -= value_lines_.back().size();
    value_lines_.pop_back();
  }
  continuing_ = false;
}

void HiveKeyScanner::HandleLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!signature_seen_) {
    signature_seen_ = true;
    valid_ = line == kSignature;
    return;
  }
  if (!valid_) return;

  if (continuing_) {
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    line.remove_prefix(start);
    continuing_ = !line.empty() && line.back() == '\\';
    if (!in_target_) return;
    std::string& value_line = value_lines_.back();
    value_line.pop_back();  // the backslash that continued it
    --kept_bytes_;
    if (kept_bytes_ + line.size() > kMaxKeptBytes) {
      continuing_ = true;
      DropUnfinishedValue();
      return;
    }
    value_line.append(line);
    kept_bytes_ += line.size();
    return;
  }

  if (line.empty()) return;
  switch (line.front()) {
    case '[':
      HandleHeader(line);
      return;
    case '#':
      if (!any_header_seen_ && line == kArchWin64) win64_ = true;
      return;
    case ';':
      return;
    default:
      continuing_ = line.back() == '\\';
      if (!in_target_) return;
      if (kept_bytes_ + line.size() > kMaxKeptBytes) {
        continuing_ = false;
        return;
      }
      value_lines_.emplace_back(line);
      kept_bytes_ += line.size();
  }
}

// Whether a header's raw text, after its '[', cannot name the target or a key below it: told
// from the bytes as written, for the escapes that stand for a backslash; anything else needs
// decoding.
bool DiffersAsWritten(std::string_view line, std::string_view target_as_written) {
  if (target_as_written.empty()) return false;
  std::size_t i = 0;
  while (i < target_as_written.size() && 1 + i < line.size()) {
    const char raw = line[1 + i];
    if (raw == '\\') {
      if (2 + i >= line.size() || line[2 + i] != '\\') return false;
      if (target_as_written[i] != '\\') return true;
      i += 2;
      continue;
    }
    if (static_cast<unsigned char>(raw) >= 0x80) return false;
    if (FoldCase(static_cast<char16_t>(raw)) !=
        FoldCase(static_cast<char16_t>(target_as_written[i]))) {
      return true;
    }
    ++i;
  }
  return false;
}

void HiveKeyScanner::HandleHeader(std::string_view line) {
  if (!any_header_seen_) {
    any_header_seen_ = true;
    target_ = win64_ ? In32BitView(key_path_) : key_path_;
    for (char16_t unit : target_) {
      if (unit >= 0x80 || unit < 0x20 || unit == u'[' || unit == u']' || unit == u'"') {
        target_as_written_.clear();
        break;
      }
      if (unit == u'\\') target_as_written_.push_back('\\');
      target_as_written_.push_back(static_cast<char>(unit));
    }
  }
  std::size_t position = 1;
  in_target_ = false;
  // Most headers differ from the target within their first bytes: they are passed over
  // without decoding.
  if (DiffersAsWritten(line, target_as_written_)) return;
  if (!ParseText(line, position, ']', header_)) return;
  if (header_.size() < target_.size()) return;
  const std::u16string_view header(header_);
  if (!EqualsIgnoringCase(header.substr(0, target_.size()), target_)) return;
  if (header.size() == target_.size()) {
    in_target_ = true;
    key_found_ = true;
  } else if (header[target_.size()] == u'\\') {
    // Wine writes no header for a key that holds only subkeys; a subkey's header shows it.
    key_found_ = true;
  }
}

std::optional<HiveValue> FindHiveValue(const std::vector<std::string>& value_lines,
                                       std::string_view name) {
  const std::u16string wanted = FromUtf8(name);
  std::u16string line_name;
  std::optional<HiveValue> found;
  HiveValue value;
  for (const std::string& line : value_lines) {
    std::size_t position = 0;
    if (line.front() == '@') {
      line_name.clear();
      position = 1;
    } else if (line.front() != '"' || !ParseText(line, ++position, '"', line_name)) {
      continue;
    }
    if (!EqualsIgnoringCase(line_name, wanted)) continue;
    if (!ConsumePrefix(line, position, "=")) continue;
    if (ParseData(line, position, value)) found = value;
  }
  return found;
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
