// The fault-injection build's fault points:
//   QVHELP_FAULT=<kind>:<N>[:<bytes>]  fails the N-th call of that kind (letting up to <bytes>
//                                      through first, for a read or a write);
//   QVHELP_KILL=<kind>:<N>             ends the process at the N-th call of that kind, before
//                                      the call reaches the system, as SIGKILL would: no
//                                      handler, no destructor, no flush of the process's own.
// At exit, or at the kill, the calls of each kind and whether the fault was reached go to the
// file named by QVHELP_FAULT_LOG.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fault_points.h"
#include "tests/faults/fault_log.h"

namespace qvhelp::platform {
namespace {

// In the order of FaultPoint.
constexpr const char* kKindNames[] = {"find",   "open-read", "read",     "open-write", "create-new",
                                      "write",  "flush",     "swap",     "swap-sync",  "copy",
                                      "delete", "reg-open",  "reg-query"};
constexpr int kKinds = sizeof kKindNames / sizeof kKindNames[0];

struct Plan {
  int kind = -1;
  unsigned long ordinal = 0;
  long transfer = -1;  // bytes let through; -1: none at all
  bool kill = false;
  unsigned long calls[kKinds] = {};
  bool reached = false;

  Plan() {
    const char* fault = std::getenv("QVHELP_FAULT");
    const char* kill_at = std::getenv("QVHELP_KILL");
    kill = kill_at != nullptr;
    const char* setting = kill ? kill_at : fault;
    if (!setting) return;
    for (int i = 0; i < kKinds; ++i) {
      const std::size_t length = std::strlen(kKindNames[i]);
      if (std::strncmp(setting, kKindNames[i], length) == 0 && setting[length] == ':') {
        kind = i;
        char* end = nullptr;
        ordinal = std::strtoul(setting + length + 1, &end, 10);
        if (*end == ':') transfer = std::strtol(end + 1, nullptr, 10);
      }
    }
  }

  ~Plan() { Log(); }

  void Log() const {
    char counts[512] = "";
    for (int i = 0; i < kKinds; ++i) {
      const std::size_t used = std::strlen(counts);
      std::snprintf(counts + used, sizeof counts - used, "%s=%lu ", kKindNames[i], calls[i]);
    }
    faults::AppendToFaultLog("io %s%s", counts, reached ? "reached" : "not-reached");
  }
};

Plan& ThePlan() {
  static Plan plan;
  return plan;
}

}  // namespace

bool InjectFault(FaultPoint point, std::size_t* transfer) {
  Plan& plan = ThePlan();
  const int kind = static_cast<int>(point);
  if (++plan.calls[kind] != plan.ordinal || kind != plan.kind) return false;
  plan.reached = true;
  if (plan.kill) {
    plan.Log();
    std::_Exit(faults::kKilledStatus);
  }
  // A transfer always falls short, by a byte at least when the request is no larger than what
  // is let through.
  if (transfer && *transfer > 0) {
    *transfer = plan.transfer < 0 ? 0 : std::min<std::size_t>(*transfer - 1, plan.transfer);
  }
  return true;
}

}  // namespace qvhelp::platform
