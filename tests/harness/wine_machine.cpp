// The Windows builds' machine: a Wine prefix made once, its files reset between cases, its
// hive written by hand while wineserver is down so that one hive text serves every build.
#include "tests/harness/wine_machine.h"

#include <unistd.h>

#include <fstream>
#include <memory>
#include <stdexcept>

namespace qvhelp::harness {

namespace fs = std::filesystem;

namespace {

const std::string kWine32 = "/usr/lib/wine/wine";
const std::string kWine64 = "/usr/lib/wine/wine64";
const std::string kWineServer = "/usr/lib/wine/wineserver";

std::string DosName(const std::string& path_on_drive_c) {
  std::string dos = "C:\\" + path_on_drive_c;
  for (char& c : dos) c = c == '/' ? '\\' : c;
  return dos;
}

// Whether an exe's PE header names the i386 machine (0x14c) rather than x64 (0x8664).
bool Is32BitExe(const fs::path& exe) {
  const std::string bytes = ReadWholeFile(exe);
  auto little_endian = [&](std::size_t at, int size) {
    if (at + size > bytes.size()) throw std::runtime_error("not an exe: " + exe.string());
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
      value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
  };
  const std::uint32_t pe_header = little_endian(0x3c, 4);
  return little_endian(pe_header + 4, 2) == 0x14c;
}

}  // namespace

WineMachine::WineMachine(std::string program, std::string hold_open_helper,
                         std::filesystem::path prefix)
    : program_(std::move(program)),
      is_32_bit_(Is32BitExe(program_)),
      loader_(is_32_bit_ ? kWine32 : kWine64),
      hold_open_helper_(std::move(hold_open_helper)),
      prefix_is_kept_(!prefix.empty()),
      prefix_(prefix_is_kept_
                  ? std::move(prefix)
                  : fs::temp_directory_path() / ("qvhelp-wine." + std::to_string(::getpid()))) {
  if (!fs::exists(prefix_ / "system.reg")) {
    // A 64-bit prefix either way: a 32-bit program runs in its WoW64 part, while Wine's own
    // services run natively.
    const ChildResult boot = RunWine({loader_, "wineboot", "-i"}, nullptr, {{"WINEARCH", "win64"}});
    if (boot.exit_status != 0) throw std::runtime_error("wineboot failed: " + boot.standard_error);
  }
  // A wineserver still running writes the hive back when it exits.
  RunWine({kWineServer, "-k"});
  RunWine({kWineServer, "-w"});
  pristine_hive_ = ReadWholeFile(prefix_ / "system.reg");
  if (pristine_hive_.empty()) throw std::runtime_error("no hive in " + prefix_.string());
}

WineMachine::~WineMachine() {
  RunWine({kWineServer, "-k"});
  RunWine({kWineServer, "-w"});
  std::error_code ignored;
  if (prefix_is_kept_) {
    std::ofstream(prefix_ / "system.reg", std::ios::binary) << pristine_hive_;
    for (const std::string& folder : touched_folders_) fs::remove_all(DriveC() / folder, ignored);
  } else {
    fs::remove_all(prefix_, ignored);
  }
}

const PlatformTraits& WineMachine::Traits() const {
  static const std::map<std::string, std::string> kSkippedOnBoth = {
      {"LongPathShownWhole",
       "Windows' A functions refuse names of MAX_PATH bytes or more (error 206), so a catalogue "
       "at such a name is not found and the run ends quietly"},
      {"KeyOnlyReadable",
       "Wine grants all access to HKEY_LOCAL_MACHINE's keys whatever the permissions of "
       "system.reg, so a key that grants only read access cannot be made here"},
      {"ReadOnlyCatalogue",
       "Wine run by root lets CreateFileA open a read-only file for writing: it leans on the "
       "kernel's permission check, which root passes"},
      {"ReadOnlyOldBackupStays",
       "Wine run by root lets CopyFileA overwrite a read-only destination: it leans on the "
       "kernel's permission check, which root passes"},
  };
  // Wine's OEM code page in the C.UTF-8 locale, which RunWine sets, is 437: u-umlaut is 0x81.
  static const std::map<std::string, std::string> kOsTexts = {
      {"in_use", "Sharing violation"}, {"exists", "File exists"}, {"u_umlaut", "\x81"}};
  static const PlatformTraits x86 = {
      .module_name = "qvhelp-remove.exe",
      .os_texts = kOsTexts,
      .skipped_cases = kSkippedOnBoth,
  };
  static const PlatformTraits x64 = [] {
    PlatformTraits traits{
        .module_name = "qvhelp-remove.exe",
        .reads_64_bit_view = true,
        .os_texts = kOsTexts,
        .skipped_cases = kSkippedOnBoth,
    };
    traits.skipped_cases["KeyOnlyInThe64BitView"] =
        "the x64 build reads the 64-bit view, where this key is";
    return traits;
  }();
  return is_32_bit_ ? x86 : x64;
}

ChildResult WineMachine::RunWine(std::vector<std::string> argv, const Case* c,
                                 const std::map<std::string, std::string>& environment) const {
  ChildOptions options{.argv = std::move(argv),
                       .working_directory = c ? DriveC() / c->working_directory : fs::path("/"),
                       .environment = environment};
  options.environment["WINEPREFIX"] = prefix_.string();
  options.environment["WINEDEBUG"] = "-all";
  options.environment["WINEDLLOVERRIDES"] = "mscoree,mshtml=";
  options.environment["LC_ALL"] = "C.UTF-8";
  if (c) {
    options.file_size_limit = c->file_size_limit;
    options.stderr_closed = c->stderr_closed;
  }
  return RunChild(options);
}

void WineMachine::WriteRegistry(const Case& c) {
  // A key added by reg is in the hive afterwards, so the next case writes the hive again.
  const std::string key_sections = c.root_dir_added_by_reg
                                       ? "added by reg: " + *c.root_dir_added_by_reg
                                       : HiveKeySection(c, Traits());
  if (key_sections == key_sections_) return;
  // wineserver writes the hive back when it exits: it must be gone before the hive is edited,
  // and it loads the edited hive when it starts again.
  RunWine({kWineServer, "-k"});
  RunWine({kWineServer, "-w"});
  std::ofstream(prefix_ / "system.reg", std::ios::binary)
      << pristine_hive_ << "\n"
      << (c.root_dir_added_by_reg ? "" : key_sections);
  key_sections_ = key_sections;
  // Started here and kept running: a wineserver that a run of the program starts would hold
  // the run's output pipes open until it exits.
  RunChild({.argv = {kWineServer, "-p"},
            .working_directory = "/",
            .environment = {{"WINEPREFIX", prefix_.string()}},
            .output_discarded = true});
  if (c.root_dir_added_by_reg) {
    const ChildResult added =
        RunWine({loader_, "reg", "add", "HKLM\\Software\\Borland\\BDS\\3.0", "/v", "RootDir", "/t",
                 "REG_SZ", "/d", *c.root_dir_added_by_reg, "/f",
                 KeyIn64BitView(c, Traits()) ? "/reg:64" : "/reg:32"});
    if (added.exit_status != 0) throw std::runtime_error("reg add failed: " + added.standard_error);
  }
}

void WineMachine::Prepare(const Case& c) {
  for (const std::string& folder : WatchedFolders(c)) touched_folders_.insert(folder);
  for (const std::string& folder : touched_folders_) RemoveTree(DriveC() / folder);
  WriteRegistry(c);
  LayDownEntries(DriveC(), c.before);
}

ChildResult WineMachine::Run(const Case& c, const RunOptions& options) {
  std::unique_ptr<BackgroundChild> holder;
  if (c.held_open != HeldOpen::kNobody) {
    std::string catalogue;
    for (const Entry& entry : c.before) {
      if (entry.path.ends_with("bds3.HxT")) catalogue = DosName(entry.path);
    }
    holder = std::make_unique<BackgroundChild>(ChildOptions{
        .argv = {loader_, hold_open_helper_,
                 c.held_open == HeldOpen::kForWriting ? "writing" : "reading", catalogue},
        .working_directory = DriveC(),
        .environment = {
            {"WINEPREFIX", prefix_.string()}, {"WINEDEBUG", "-all"}, {"LC_ALL", "C.UTF-8"}}});
    const std::string ready = holder->ReadLine();
    if (ready != "ready") throw std::runtime_error("the holder did not open the file: " + ready);
  }
  return RunWine({loader_, options.program.empty() ? program_ : options.program}, &c,
                 options.environment);
}

}  // namespace qvhelp::harness
