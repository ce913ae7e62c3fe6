// DOS names on the drives of a Wine prefix.
#include "platform/posix/dos_path.h"

#include "platform/posix/case_fold.h"
#include "platform/posix/utf8.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace qvhelp::platform::posix {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::optional<std::string> RealPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

bool IsDirectory(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Exists(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0;
}

// The DOS components of a full path after "X:\".
std::vector<std::string_view> Components(std::string_view full_path) {
  std::vector<std::string_view> components;
  std::size_t position = 3;
  while (position < full_path.size()) {
    const std::size_t end = std::min(full_path.find('\\', position), full_path.size());
    if (end > position) components.push_back(full_path.substr(position, end - position));
    position = end + 1;
  }
  return components;
}

// The entry of `directory` that names `component`: as spelled, else the first that matches it
// ignoring case.
std::optional<std::string> FindEntry(const std::string& directory, std::string_view component) {
  std::string exact = directory + "/";
  exact.append(component);
  if (Exists(exact)) return exact;
  struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  const std::unique_ptr<DIR, CloseDir> dir(::opendir(directory.c_str()));
  if (!dir) return std::nullopt;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (SameFileName(entry->d_name, component)) return directory + "/" + entry->d_name;
  }
  return std::nullopt;
}

bool IsFullDosPath(std::string_view path) {
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

WineDrives::WineDrives(std::string prefix_directory)
    : dosdevices_(std::move(prefix_directory) + "/dosdevices/") {}

std::optional<std::string> WineDrives::Root(char letter) const {
  if (!IsDriveLetter(letter)) return std::nullopt;
  std::string root = dosdevices_;
  root.push_back(static_cast<char>(letter | 0x20));
  root.push_back(':');
  if (!IsDirectory(root)) return std::nullopt;
  return root;
}

std::optional<std::string> WineDrives::CurrentDirectory() const {
  const std::optional<std::string> cwd = RealPath(".");
  if (!cwd) return std::nullopt;
  std::optional<std::string> best;
  std::size_t best_length = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::optional<std::string> root = Root(letter);
    if (!root) continue;
    const std::optional<std::string> target = RealPath(*root);
    if (!target) continue;
    const std::size_t length = *target == "/" ? 0 : target->size();
    const bool holds = cwd->compare(0, length, *target, 0, length) == 0 &&
                       (cwd->size() == length || (*cwd)[length] == '/');
    if (!holds || (best && length <= best_length)) continue;
    std::string dos = {letter, ':', '\\'};
    for (std::size_t i = length + 1; i < cwd->size(); ++i) {
      dos.push_back((*cwd)[i] == '/' ? '\\' : (*cwd)[i]);
    }
    best = std::move(dos);
    best_length = length;
  }
  return best;
}

std::string MakeFullDosPath(std::string_view name,
                            const std::optional<std::string>& current_directory) {
  if (name.empty()) return {};
  char drive;
  std::string combined;  // everything after "X:", to be normalised
  const bool has_drive = name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == ':';
  if (has_drive) {
    drive = name[0];
    const std::string_view rest = name.substr(2);
    if (rest.empty() || !IsSeparator(rest.front())) {
      // Drive-relative: against the current directory when it is on that drive.
      if (current_directory && ToUpperAscii((*current_directory)[0]) == ToUpperAscii(drive)) {
        combined = current_directory->substr(2) + "\\";
      } else {
        combined = "\\";
      }
    }
    combined.append(rest);
  } else {
    if (!current_directory) return {};
    drive = (*current_directory)[0];
    if (!IsSeparator(name.front())) combined = current_directory->substr(2) + "\\";
    combined.append(name);
  }

  std::vector<std::string_view> components;
  std::size_t position = 0;
  while (position < combined.size()) {
    std::size_t end = position;
    while (end < combined.size() && !IsSeparator(combined[end])) ++end;
    const std::string_view component(combined.data() + position, end - position);
    if (component == "..") {
      if (!components.empty()) components.pop_back();
    } else if (!component.empty() && component != ".") {
      components.push_back(component);
    }
    position = end + 1;
  }
  std::string full = {drive, ':', '\\'};
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) full.push_back('\\');
    full.append(components[i]);
  }
  if (!components.empty() && IsSeparator(combined.back())) full.push_back('\\');
  return full;
}

std::optional<std::string> FindUnixPath(const WineDrives& drives, std::string_view full_path) {
  if (!IsFullDosPath(full_path)) return std::nullopt;
  std::optional<std::string> path = drives.Root(full_path[0]);
  for (std::string_view component : Components(full_path)) {
    if (!path) break;
    path = FindEntry(*path, component);
  }
  return path;
}

std::optional<std::string> UnixPathToCreate(const WineDrives& drives, std::string_view full_path) {
  if (!IsFullDosPath(full_path)) return std::nullopt;
  const std::vector<std::string_view> components = Components(full_path);
  if (components.empty()) return std::nullopt;
  std::optional<std::string> directory = drives.Root(full_path[0]);
  for (std::size_t i = 0; directory && i + 1 < components.size(); ++i) {
    directory = FindEntry(*directory, components[i]);
  }
  if (!directory || !IsDirectory(*directory)) return std::nullopt;
  if (std::optional<std::string> existing = FindEntry(*directory, components.back())) {
    return existing;
  }
  std::string path = *directory + "/";
  path.append(components.back());
  return path;
}

bool SameFileName(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (UpperCase(DecodeUtf8(a, i)) != UpperCase(DecodeUtf8(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

}  // namespace qvhelp::platform::posix
