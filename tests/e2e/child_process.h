// Runs a program as a child process and collects what it leaves behind.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qvhelp::e2e {

struct ChildOptions {
  std::vector<std::string> argv;
  std::filesystem::path working_directory;
  std::map<std::string, std::string> environment;  // added to this process's own
  std::optional<long> file_size_limit;
  bool stderr_closed = false;
};

struct ChildResult {
  int exit_status = -1;  // -1 when it did not exit normally
  std::string standard_output;
  std::string standard_error;
};

ChildResult RunChild(const ChildOptions& options);

}  // namespace qvhelp::e2e
