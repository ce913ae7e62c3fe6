// The fault-injection build's doors: QVHELP_FAULT=<kind>:<N>[:<bytes>] fails the N-th call of
// that kind (letting <bytes> through first, for a read or a write). At exit the calls of each
// kind, and whether the fault was reached, go to the file named by QVHELP_FAULT_LOG.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/fault_points.h"
#include "tests/faults/fault_log.h"

namespace qvhelp::platform::posix {
namespace {

constexpr const char* kKindNames[] = {"find", "open-read", "read",     "open-write", "write",
                                      "copy", "delete",    "reg-open", "reg-query"};
constexpr int kKinds = sizeof kKindNames / sizeof kKindNames[0];

struct Plan {
  int kind = -1;
  unsigned long ordinal = 0;
  long transfer = -1;  // bytes let through; -1: none at all
  unsigned long calls[kKinds] = {};
  bool reached = false;

  Plan() {
    const char* setting = std::getenv("QVHELP_FAULT");
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

  ~Plan() {
    faults::AppendToFaultLog(
        "io find=%lu open-read=%lu read=%lu open-write=%lu write=%lu copy=%lu delete=%lu "
        "reg-open=%lu reg-query=%lu %s",
        calls[0], calls[1], calls[2], calls[3], calls[4], calls[5], calls[6], calls[7], calls[8],
        reached ? "reached" : "not-reached");
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
  if (transfer) *transfer = plan.transfer < 0 ? 0 : std::min<std::size_t>(*transfer, plan.transfer);
  return true;
}

}  // namespace qvhelp::platform::posix
