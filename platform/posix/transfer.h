// The one loop of the Linux backend's reads and writes: it goes on until the whole count is
// moved, and retries a call that a signal interrupted.
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

namespace qvhelp::platform::posix {

struct Transferred {
  std::size_t count = 0;  // the bytes moved
  bool failed = false;    // an error stopped it, not the end of the file
};

// Calls `step(done)`, which moves bytes after the first `done` of `count` and answers as
// read(2) and write(2) do, until all are moved, a step moves nothing, or a step fails.
template <typename Step>
Transferred TransferFully(std::size_t count, Step step) {
  Transferred result;
  while (result.count < count) {
    const ssize_t moved = step(result.count);
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) {
      result.failed = moved < 0;
      break;
    }
    result.count += static_cast<std::size_t>(moved);
  }
  return result;
}

}  // namespace qvhelp::platform::posix
