// Finding a key: the headers and the key's place in the hive. The text of the values is
// hive_value's.
#include "platform/posix/hive_reader.h"

#include <cstring>

#include "platform/posix/case_fold.h"
#include "platform/posix/hive_value.h"
#include "platform/posix/utf8.h"

namespace qvhelp::platform::posix {
namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::string_view kArchWin64 = "#arch=win64";

// Where a 32-bit program's view of HKEY_LOCAL_MACHINE\Software lies in a 64-bit hive.
std::u16string In32BitView(std::u16string_view path) {
  constexpr std::u16string_view kSoftware = u"Software";
  const std::size_t first_end = std::min(path.find(u'\\'), path.size());
  if (!SameName(path.substr(0, first_end), kSoftware)) return std::u16string(path);
  std::u16string mapped(kSoftware);
  mapped.append(u"\\Wow6432Node");
  mapped.append(path.substr(first_end));
  return mapped;
}

// The target as a header spells it when it is plain ASCII, backslashes doubled; else empty.
std::string AsWritten(std::u16string_view target) {
  std::string written;
  for (char16_t unit : target) {
    if (unit >= 0x80 || unit < 0x20 || unit == u'[' || unit == u']' || unit == u'"') return {};
    if (unit == u'\\') written.push_back('\\');
    written.push_back(static_cast<char>(unit));
  }
  return written;
}

// Whether a header's raw text, after its '[', cannot name the target or a key below it: told
// from the bytes as written, for the escapes that stand for a backslash; anything else needs
// decoding. The text may run on past the header's line: the target holds no line break and
// no ']', so a header that ends first differs.
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
    if (raw != target_as_written[i]) {
      if (static_cast<unsigned char>(raw) >= 0x80) return false;
      if (UpperCase(static_cast<unsigned char>(raw)) !=
          UpperCase(static_cast<unsigned char>(target_as_written[i]))) {
        return true;
      }
    }
    ++i;
  }
  return false;
}

// The hive's lines, each without its line break ('\n', or "\r\n").
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}

  bool Next(std::string_view& line) {
    if (position_ >= text_.size()) return false;
    const void* found = std::memchr(text_.data() + position_, '\n', text_.size() - position_);
    const std::size_t end =
        found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data())
              : text_.size();
    line = text_.substr(position_, end - position_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    position_ = end + 1;
    return true;
  }

  // Moves to the next line that begins with '[' and that no line before it can go on into,
  // and on past each such header that `passed_over` is given from its '[' to the end of the
  // text and answers true for: the lines passed over are then neither headers that matter nor
  // parts of one. Stays where it cannot tell without reading the lines before, until they are
  // read.
  template <typename PassedOver>
  void SkipToHeader(PassedOver passed_over) {
    if (position_ < read_on_until_) return;
    for (std::size_t at = position_; at < text_.size(); ++at) {
      const void* found = std::memchr(text_.data() + at, '[', text_.size() - at);
      if (!found) break;
      at = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
      if (at != position_) {
        if (text_[at - 1] != '\n') continue;
        // The line before, without its break, must not end in the backslash that goes on.
        std::size_t before = at - 1;
        if (before > position_ && text_[before - 1] == '\r') --before;
        if (before > position_ && text_[before - 1] == '\\') {
          read_on_until_ = at;
          return;
        }
      }
      position_ = at;
      if (!passed_over(text_.substr(at))) return;
    }
    position_ = text_.size();
  }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
  std::size_t read_on_until_ = 0;  // where SkipToHeader could not tell, line by line up to it
};

class KeySearch {
 public:
  explicit KeySearch(std::u16string key_path) : key_path_(std::move(key_path)) {}

  std::optional<std::vector<std::string>> Run(std::string_view hive);

 private:
  void ReadHeader(std::string_view line);

  std::u16string key_path_;
  std::u16string target_;
  std::string target_as_written_;
  std::u16string header_;  // reused for each header decoded
  bool in_target_ = false;
  bool key_found_ = false;
};

std::optional<std::vector<std::string>> KeySearch::Run(std::string_view hive) {
  Lines lines(hive);
  std::string_view line;
  if (!lines.Next(line) || line != kSignature) return std::nullopt;
  bool win64 = false;
  bool any_header_seen = false;
  bool continuing = false;  // the last value line ended in a backslash
  std::vector<std::string> value_lines;
  for (;;) {
    // Outside the key, only the headers that may name it matter; they are found without
    // reading every line.
    if (any_header_seen && !in_target_ && !continuing) {
      lines.SkipToHeader(
          [this](std::string_view header) { return DiffersAsWritten(header, target_as_written_); });
    }
    if (!lines.Next(line)) break;
    if (continuing) {
      const std::size_t start = std::min(line.find_first_not_of(" \t"), line.size());
      line.remove_prefix(start);
      continuing = !line.empty() && line.back() == '\\';
      if (in_target_) {
        value_lines.back().pop_back();  // the backslash that went on
        value_lines.back().append(line);
      }
      continue;
    }
    if (line.empty()) continue;
    switch (line.front()) {
      case '[':
        if (!any_header_seen) {
          any_header_seen = true;
          target_ = win64 ? In32BitView(key_path_) : key_path_;
          target_as_written_ = AsWritten(target_);
        }
        ReadHeader(line);
        break;
      case '#':
        if (!any_header_seen && line == kArchWin64) win64 = true;
        break;
      case ';':
        break;
      default:
        continuing = line.back() == '\\';
        if (in_target_) value_lines.emplace_back(line);
    }
  }
  if (continuing && in_target_) value_lines.pop_back();  // it never ended
  if (!key_found_) return std::nullopt;
  return value_lines;
}

void KeySearch::ReadHeader(std::string_view line) {
  in_target_ = false;
  // Most headers differ from the target within their first bytes: they are passed over
  // without decoding.
  if (DiffersAsWritten(line, target_as_written_)) return;
  std::size_t position = 1;
  if (!ParseEscapedText(line, position, ']', header_)) return;
  if (header_.size() < target_.size()) return;
  const std::u16string_view header(header_);
  if (!SameName(header.substr(0, target_.size()), target_)) return;
  if (header.size() == target_.size()) {
    in_target_ = true;
    key_found_ = true;
  } else if (header[target_.size()] == u'\\') {
    // Wine writes no header for a key that holds only subkeys; a subkey's header shows it.
    key_found_ = true;
  }
}

}  // namespace

std::optional<std::vector<std::string>> FindHiveKey(std::string_view hive,
                                                    std::string_view key_path) {
  return KeySearch(Utf8ToUtf16(key_path)).Run(hive);
}

}  // namespace qvhelp::platform::posix
