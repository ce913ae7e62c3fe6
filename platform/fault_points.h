// Where tests make the platform layer's operations fail, or end the process, the way SQLite's
// test harness fails the N-th system call: every operation asks before it goes to the system.
//
// The program links fault_points-none.cpp, which never injects a fault; the fault-injection
// build links tests/faults/fault_points-env.cpp instead, which acts on QVHELP_FAULT.
#pragma once

#include <cstddef>

namespace qvhelp::platform {

enum class FaultPoint {
  kFind,
  kOpenForReading,
  kRead,
  kOpenForWriting,  // the file to be replaced, opened without being emptied
  kCreateNew,       // the new file that replaces it
  kWrite,
  kFlush,
  kSwap,
  kSwapSync,  // the swap done, the folder not yet flushed
  kCopy,
  kDelete,
  kRegistryOpen,
  kRegistryQuery,
};

// Whether this call is to fail. For a read or a write, `transfer` is then cut to the bytes
// that get through before the failure. A fault may also end the process there and then.
bool InjectFault(FaultPoint point, std::size_t* transfer = nullptr);

}  // namespace qvhelp::platform
