// The fault-injection build's report to the test that ran it.
#include "tests/faults/fault_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace qvhelp::faults {

void AppendToFaultLog(const char* format, ...) {
  const char* path = std::getenv("QVHELP_FAULT_LOG");
  if (!path) return;
  if (std::FILE* log = std::fopen(path, "a")) {
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(log, format, arguments);
    va_end(arguments);
    std::fputc('\n', log);
    std::fclose(log);
  }
}

}  // namespace qvhelp::faults
