// Where tests make the Linux backend's operations fail, the way SQLite's test harness fails
// the N-th system call: every door asks before it goes to the system.
//
// The program links fault_points-none.cpp, which never injects a fault; the fault-injection
// build links fault_points-env.cpp instead, which fails the operation named in QVHELP_FAULT.
#pragma once

#include <cstddef>

namespace qvhelp::platform::posix {

enum class FaultPoint {
  kFind,
  kOpenForReading,
  kRead,
  kOpenForWriting,
  kWrite,
  kCopy,
  kDelete,
  kRegistryOpen,
  kRegistryQuery,
};

// Whether this call is to fail. For a read or a write, `transfer` is then cut to the bytes
// that get through before the failure.
bool InjectFault(FaultPoint point, std::size_t* transfer = nullptr);

}  // namespace qvhelp::platform::posix
