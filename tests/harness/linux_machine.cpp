// The Linux build's machine: a hand-made prefix with drive C:, drive Z: and a 64-bit hive.
#include "tests/harness/linux_machine.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "platform/posix/unique_fd.h"

namespace qvhelp::harness {

namespace fs = std::filesystem;

LinuxMachine::LinuxMachine(std::string program)
    : program_(std::move(program)),
      prefix_(fs::temp_directory_path() / ("qvhelp-e2e." + std::to_string(::getpid()))) {}

LinuxMachine::~LinuxMachine() {
  std::error_code ignored;
  fs::remove_all(prefix_, ignored);
}

const PlatformTraits& LinuxMachine::Traits() const {
  static const PlatformTraits traits = {
      .module_name = "qvhelp-remove",
      .os_texts = {{"access_denied", "Permission denied"},
                   {"in_use", "Resource temporarily unavailable"},
                   {"exists", "File exists"},
                   {"u_umlaut", "\xc3\xbc"}},
      .skipped_cases = {},
  };
  return traits;
}

void LinuxMachine::Prepare(const Case& c) {
  RemoveTree(prefix_);
  fs::create_directories(prefix_ / "dosdevices");
  fs::create_directories(DriveC());
  fs::create_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
  fs::create_symlink("/", prefix_ / "dosdevices" / "z:");
  {
    std::ofstream hive(prefix_ / "system.reg", std::ios::binary);
    hive << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
            "[Software\\\\Classes\\\\.txt] 1796960020\n#time=1dd893f4d6c4ee6\n@=\"txtfile\"\n\n"
         << HiveKeySection(c, Traits());
  }
  if (c.hive_read_only) {
    fs::permissions(prefix_ / "system.reg",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  LayDownEntries(DriveC(), c.before);
}

ChildResult LinuxMachine::Run(const Case& c, const RunOptions& options) {
  // Another process holding the catalogue: an open file description with a lock of its own.
  platform::posix::UniqueFd holder;
  if (c.held_open != HeldOpen::kNobody) {
    fs::path catalogue;
    for (const Entry& entry : c.before) {
      if (entry.path.ends_with("bds3.HxT")) catalogue = DriveC() / entry.path;
    }
    holder = platform::posix::UniqueFd(::open(catalogue.c_str(), O_RDWR | O_CLOEXEC));
    struct flock lock = {};
    lock.l_type = c.held_open == HeldOpen::kForWriting ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (!holder || ::fcntl(holder.get(), F_OFD_SETLK, &lock) != 0) {
      throw std::runtime_error("cannot hold the catalogue open");
    }
  }
  std::map<std::string, std::string> full_environment = options.environment;
  full_environment["WINEPREFIX"] = prefix_.string();
  return RunChild({.argv = {options.program.empty() ? program_ : options.program},
                   .working_directory = DriveC() / c.working_directory,
                   .environment = full_environment,
                   .file_size_limit = c.file_size_limit,
                   .stderr_closed = c.stderr_closed});
}

}  // namespace qvhelp::harness
