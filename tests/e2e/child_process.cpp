// Running the program under test as a child process.
#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace qvhelp::e2e {
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

void Drain(Pipe& out, Pipe& err, ChildResult& result) {
  pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  std::string* targets[2] = {&result.standard_output, &result.standard_error};
  int open_count = 2;
  while (open_count > 0) {
    if (::poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t count = ::read(fds[i].fd, buffer, sizeof buffer);
      if (count > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(count));
      } else {
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
}

}  // namespace

ChildResult RunChild(const ChildOptions& options) {
  Pipe out;
  Pipe err;
  std::vector<char*> argv;
  for (const std::string& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int null_input = ::open("/dev/null", O_RDONLY);
    ::dup2(null_input, STDIN_FILENO);
    ::dup2(out.write, STDOUT_FILENO);
    if (options.stderr_closed) {
      ::close(STDERR_FILENO);
    } else {
      ::dup2(err.write, STDERR_FILENO);
    }
    if (::chdir(options.working_directory.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (options.file_size_limit) {
      const rlimit limit = {static_cast<rlim_t>(*options.file_size_limit),
                            static_cast<rlim_t>(*options.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out.write);
  out.write = -1;
  ::close(err.write);
  err.write = -1;

  ChildResult result;
  Drain(out, err, result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

}  // namespace qvhelp::e2e
