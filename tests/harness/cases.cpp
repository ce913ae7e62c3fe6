#include "tests/harness/cases.h"

#include <regex>

namespace qvhelp::harness {
namespace {

std::string EscapeForRegex(std::string_view text) {
  static const std::string kSpecial = "\\^$.|?*+()[]{}";
  std::string escaped;
  for (char c : text) {
    if (kSpecial.find(c) != std::string::npos) escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace

bool operator==(const Entry& a, const Entry& b) {
  return a.path == b.path && a.kind == b.kind && a.contents == b.contents &&
         a.read_only == b.read_only;
}

std::map<std::string, Entry> ExpectedAfter(const Case& c) {
  std::map<std::string, Entry> entries;
  for (const Entry& entry : c.before) entries[entry.path] = entry;
  for (const Entry& change : c.changes) {
    if (change.kind == Kind::kNothing) {
      entries.erase(change.path);
    } else {
      entries[change.path] = change;
    }
  }
  for (auto& [path, entry] : entries) entry.dated_1970 = false;  // dates are not compared
  return entries;
}

bool MatchesStandardError(const std::string& pattern, const std::string& actual,
                          const PlatformTraits& traits) {
  std::string regex;
  std::size_t position = 0;
  while (position < pattern.size()) {
    const std::size_t open = pattern.find('{', position);
    const std::size_t close = open == std::string::npos ? open : pattern.find('}', open);
    if (close == std::string::npos) {
      regex += EscapeForRegex(pattern.substr(position));
      break;
    }
    regex += EscapeForRegex(pattern.substr(position, open - position));
    const std::string name = pattern.substr(open + 1, close - open - 1);
    if (name == "module") {
      regex += EscapeForRegex(traits.module_name);
    } else if (name == "position") {
      regex += "[0-9A-F]{8}";
    } else if (name.starts_with("os:")) {
      const auto text = traits.os_texts.find(name.substr(3));
      regex +=
          EscapeForRegex(text == traits.os_texts.end() ? "<unknown " + name + ">" : text->second);
    } else {
      regex += EscapeForRegex(pattern.substr(open, close - open + 1));
    }
    position = close + 1;
  }
  return std::regex_match(actual, std::regex(regex));
}

}  // namespace qvhelp::harness
