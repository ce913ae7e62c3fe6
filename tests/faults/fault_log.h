// The fault-injection build's report to the test that ran it.
#pragma once

namespace qvhelp::faults {

// The status of a process that a fault point ended, as a shell shows one that SIGKILL ended.
inline constexpr int kKilledStatus = 137;

// Appends a line, formatted as printf formats it, to the file named by QVHELP_FAULT_LOG when it
// is set. It allocates nothing through operator new, so the failing allocator may call it.
[[gnu::format(printf, 1, 2)]] void AppendToFaultLog(const char* format, ...);

}  // namespace qvhelp::faults
