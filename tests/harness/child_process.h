// Runs a program as a child process and collects what it leaves behind.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qvhelp::harness {

struct ChildOptions {
  std::vector<std::string> argv = {};
  std::filesystem::path working_directory = {};
  std::map<std::string, std::string> environment = {};  // added to this process's own
  std::optional<long> file_size_limit = {};
  bool stderr_closed = false;
  // Output to /dev/null, for a child that leaves a daemon behind holding what it inherited.
  bool output_discarded = false;
};

struct ChildResult {
  int exit_status = -1;  // -1 when it did not exit normally
  std::string standard_output;
  std::string standard_error;
};

ChildResult RunChild(const ChildOptions& options);

// A child that runs beside the test until it is told to end by the end of its standard input.
class BackgroundChild {
 public:
  explicit BackgroundChild(const ChildOptions& options);
  BackgroundChild(const BackgroundChild&) = delete;
  BackgroundChild& operator=(const BackgroundChild&) = delete;
  ~BackgroundChild();

  // The child's first line of standard output.
  std::string ReadLine();

 private:
  int pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

}  // namespace qvhelp::harness
