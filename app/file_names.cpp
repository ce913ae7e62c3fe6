// The file-name routines of the run.
#include "app/file_names.h"

#include "platform/files.h"

namespace qvhelp {

bool FileExists(const std::string& name) {
  const auto entry = platform::FindFileEntry(name);
  return entry && !entry->is_directory;
}

std::string ChangeFileExt(std::string_view name, std::string_view ext) {
  std::size_t last_separator = std::string_view::npos;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char byte = name[i];
    if (platform::IsLeadByte(byte) && i + 1 < name.size()) {
      ++i;  // the trail byte is part of the character, never a separator
    } else if (byte == '.' || byte == '\\' || byte == ':') {
      last_separator = i;
    }
  }
  const bool has_extension =
      last_separator != std::string_view::npos && name[last_separator] == '.';
  std::string result(has_extension ? name.substr(0, last_separator) : name);
  result.append(ext);
  return result;
}

}  // namespace qvhelp
