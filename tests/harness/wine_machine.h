// A Windows build under Wine, on a real prefix made once with wineboot. A 32-bit build runs
// under 32-bit Wine, which needs i386 code to be emulated (scripts/emulate-i386.sh).
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "tests/harness/machine.h"

namespace qvhelp::harness {

class WineMachine : public Machine {
 public:
  // On the prefix given, made there when it is missing and kept afterwards as it was found;
  // without one, on a prefix of its own that it removes.
  WineMachine(std::string program, std::string hold_open_helper, std::filesystem::path prefix);
  ~WineMachine() override;
  const PlatformTraits& Traits() const override;
  void Prepare(const Case& c) override;
  using Machine::Run;
  ChildResult Run(const Case& c, const RunOptions& options) override;
  std::filesystem::path DriveC() const override { return prefix_ / "drive_c"; }

 private:
  ChildResult RunWine(std::vector<std::string> argv, const Case* c = nullptr,
                      const std::map<std::string, std::string>& environment = {}) const;
  void WriteRegistry(const Case& c);

  std::string program_;
  bool is_32_bit_;
  std::string loader_;
  std::string hold_open_helper_;
  bool prefix_is_kept_;
  std::filesystem::path prefix_;
  std::string pristine_hive_;
  std::string key_sections_;
  std::set<std::string> touched_folders_;
};

}  // namespace qvhelp::harness
