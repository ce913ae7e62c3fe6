// Fuzzes the registry hive reader: any input reads without a crash, a hang or a read out of
// bounds, and the key's value lines are those that a plain reading finds, line by line with
// every header decoded, which is what the reader's skipping over other keys must not change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/case_fold.h"
#include "platform/posix/hive_reader.h"
#include "platform/posix/hive_value.h"
#include "platform/posix/utf8.h"

namespace {

using namespace qvhelp::platform::posix;

constexpr std::string_view kKey = "SOFTWARE\\Borland\\BDS\\3.0";

std::optional<std::vector<std::string>> ReadLineByLine(std::string_view hive) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < hive.size();) {
    const std::size_t end = std::min(hive.find('\n', start), hive.size());
    std::string_view line = hive.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty() || lines[0] != "WINE REGISTRY Version 2") return std::nullopt;
  bool win64 = false;
  bool any_header_seen = false;
  bool in_target = false;
  bool found = false;
  bool continuing = false;
  std::u16string target;
  std::vector<std::string> value_lines;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (continuing) {
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      continuing = !line.empty() && line.back() == '\\';
      if (in_target) {
        value_lines.back().pop_back();
        value_lines.back().append(line);
      }
    } else if (line.empty() || line.front() == ';') {
    } else if (line.front() == '#') {
      if (!any_header_seen && line == "#arch=win64") win64 = true;
    } else if (line.front() == '[') {
      if (!any_header_seen) {
        target = win64 ? u"Software\\Wow6432Node\\Borland\\BDS\\3.0" : Utf8ToUtf16(kKey);
      }
      any_header_seen = true;
      in_target = false;
      std::u16string header;
      std::size_t position = 1;
      if (!ParseEscapedText(line, position, ']', header) || header.size() < target.size() ||
          !SameName(std::u16string_view(header).substr(0, target.size()), target)) {
        continue;
      }
      if (header.size() == target.size()) {
        in_target = found = true;
      } else if (header[target.size()] == u'\\') {
        found = true;
      }
    } else {
      continuing = line.back() == '\\';
      if (in_target) value_lines.emplace_back(line);
    }
  }
  if (continuing && in_target) value_lines.pop_back();
  if (!found) return std::nullopt;
  return value_lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view hive(reinterpret_cast<const char*>(data), size);
  const auto lines = FindHiveKey(hive, kKey);
  if (lines != ReadLineByLine(hive)) std::abort();
  if (lines) {
    if (const auto value = FindHiveValue(*lines, "RootDir")) Utf16LeToUtf8(value->data);
  }
  return 0;
}
