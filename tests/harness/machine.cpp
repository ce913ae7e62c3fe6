// What every end-to-end machine shares: the hive text of a case's key and the files of drive C:.
#include "tests/harness/machine.h"

#include <sys/stat.h>
#include <utime.h>

#include <fstream>
#include <set>
#include <sstream>

namespace qvhelp::harness {

namespace fs = std::filesystem;

bool KeyIn64BitView(const Case& c, const PlatformTraits& traits) {
  return c.key_view == KeyView::k64Bit || traits.reads_64_bit_view;
}

std::string HiveKeySection(const Case& c, const PlatformTraits& traits) {
  std::string values;
  if (c.key_values) {
    values = *c.key_values;
  } else if (c.root_dir_added_by_reg) {
    values = "\"RootDir\"=\"";
    for (char ch : *c.root_dir_added_by_reg) {
      if (ch == '\\' || ch == '"') values += '\\';
      values += ch;
    }
    values += "\"\n";
  } else {
    return {};
  }
  return std::string(KeyIn64BitView(c, traits)
                         ? "[Software\\\\Borland\\\\BDS\\\\3.0] 1796960020\n"
                         : "[Software\\\\Wow6432Node\\\\Borland\\\\BDS\\\\3.0] 1796960020\n") +
         "#time=1dd893f4e265336\n" + values + "\n";
}

std::string ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::vector<std::string> WatchedFolders(const Case& c) {
  std::set<std::string> folders = {"BDS", "Help", "Program Files/Borland"};
  auto add = [&](const std::string& path) {
    std::string folder = path.substr(0, path.find('/'));
    if (folder == "Program Files") folder = "Program Files/Borland";
    folders.insert(folder);
  };
  for (const Entry& entry : c.before) add(entry.path);
  for (const Entry& entry : c.changes) add(entry.path);
  return {folders.begin(), folders.end()};
}

void RemoveTree(const fs::path& path) {
  if (fs::exists(fs::symlink_status(path))) {
    for (const auto& entry : fs::recursive_directory_iterator(path)) {
      if (!entry.is_symlink()) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
      }
    }
  }
  fs::remove_all(path);
}

void LayDownEntries(const fs::path& drive_c, const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    const fs::path path = drive_c / entry.path;
    if (entry.kind == Kind::kNothing) continue;
    if (entry.kind == Kind::kDirectory) {
      fs::create_directories(path);
      continue;
    }
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << entry.contents;
    if (entry.dated_1970) {
      const utimbuf epoch = {0, 0};
      ::utime(path.c_str(), &epoch);
    }
    if (entry.read_only) {
      fs::permissions(path,
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
    }
  }
}

std::map<std::string, Entry> Snapshot(const fs::path& drive_c, const Case& c) {
  // Folders the case names are compared; those that only hold its files are not.
  std::set<std::string> named_folders;
  for (const Entry& entry : c.before) {
    if (entry.kind == Kind::kDirectory) named_folders.insert(entry.path);
  }
  std::map<std::string, Entry> entries;
  for (const std::string& folder : WatchedFolders(c)) {
    if (!fs::exists(drive_c / folder)) continue;
    for (const auto& item : fs::recursive_directory_iterator(drive_c / folder)) {
      const std::string path = fs::relative(item.path(), drive_c).string();
      if (item.is_directory()) {
        if (named_folders.contains(path)) entries[path] = Directory(path);
        continue;
      }
      struct stat status;
      ::stat(item.path().c_str(), &status);
      entries[path] = Entry{.path = path,
                            .contents = ReadWholeFile(item.path()),
                            .read_only = (status.st_mode & 0222) == 0};
    }
  }
  return entries;
}

}  // namespace qvhelp::harness
