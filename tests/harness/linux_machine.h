// The program's Linux build on a Wine prefix made by hand in a temporary folder.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tests/harness/machine.h"

namespace qvhelp::harness {

class LinuxMachine : public Machine {
 public:
  explicit LinuxMachine(std::string program);
  ~LinuxMachine() override;
  const PlatformTraits& Traits() const override;
  void Prepare(const Case& c) override;
  using Machine::Run;
  ChildResult Run(const Case& c, const RunOptions& options) override;
  std::filesystem::path DriveC() const override { return prefix_ / "drive_c"; }

 private:
  std::string program_;
  std::filesystem::path prefix_;
};

}  // namespace qvhelp::harness
