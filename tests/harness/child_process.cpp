// Running the program under test as a child process.
#include "tests/harness/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace qvhelp::harness {
namespace {

struct Pipe {
  int read = -1;
  int write = -1;
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = fds[0];
    write = fds[1];
  }
  ~Pipe() {
    if (read >= 0) ::close(read);
    if (write >= 0) ::close(write);
  }
};

// Reads the child's output until it has exited. Processes it leaves behind (Wine's services)
// may hold the pipes open for long after, so the end of the child, not of the pipes, ends it.
int DrainUntilExit(pid_t pid, Pipe& out, Pipe& err, ChildResult& result) {
  pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  std::string* targets[2] = {&result.standard_output, &result.standard_error};
  auto read_available = [&](int timeout_ms) {
    if (::poll(fds, 2, timeout_ms) <= 0) return false;
    bool any = false;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
      if (count > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(count));
        any = true;
      } else {
        fds[i].fd = -1;
      }
    }
    return any;
  };
  int status = 0;
  for (;;) {
    read_available(20);
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
  }
  while (read_available(0)) {
  }
  return status;
}

void SetUpChild(const ChildOptions& options) {
  if (::chdir(options.working_directory.c_str()) != 0) ::_exit(126);
  for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
  if (options.file_size_limit) {
    const rlimit limit = {static_cast<rlim_t>(*options.file_size_limit),
                          static_cast<rlim_t>(*options.file_size_limit)};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
  }
}

std::vector<char*> Argv(const ChildOptions& options) {
  std::vector<char*> argv;
  for (const std::string& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

ChildResult RunChild(const ChildOptions& options) {
  Pipe out;
  Pipe err;
  std::vector<char*> argv = Argv(options);
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int null_input = ::open("/dev/null", O_RDONLY);
    ::dup2(null_input, STDIN_FILENO);
    ::dup2(options.output_discarded ? ::open("/dev/null", O_WRONLY) : out.write, STDOUT_FILENO);
    if (options.output_discarded) {
      ::dup2(STDOUT_FILENO, STDERR_FILENO);
    } else if (options.stderr_closed) {
      ::close(STDERR_FILENO);
    } else {
      ::dup2(err.write, STDERR_FILENO);
    }
    SetUpChild(options);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out.write);
  out.write = -1;
  ::close(err.write);
  err.write = -1;

  ChildResult result;
  const int status = DrainUntilExit(pid, out, err, result);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

BackgroundChild::BackgroundChild(const ChildOptions& options) {
  Pipe input;
  Pipe output;
  std::vector<char*> argv = Argv(options);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(input.read, STDIN_FILENO);
    ::dup2(output.write, STDOUT_FILENO);
    SetUpChild(options);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  input_ = std::exchange(input.write, -1);
  output_ = std::exchange(output.read, -1);
}

BackgroundChild::~BackgroundChild() {
  ::close(input_);
  ::close(output_);
  int status;
  while (::waitpid(pid_, &status, 0) < 0) {
  }
}

std::string BackgroundChild::ReadLine() {
  std::string line;
  char c;
  while (::read(output_, &c, 1) == 1 && c != '\n') line.push_back(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace qvhelp::harness
