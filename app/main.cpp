// qvhelp-remove: takes the Quorvane component library's help out of the IDE's help system.
// Silent on success with exit status 0; on an error, a report on standard error and status 1.
#include <new>

#include "app/failure_report.h"
#include "app/run.h"
#include "platform/errors.h"

int main() {
  try {
    qvhelp::RunHelpRemoval();
  } catch (const qvhelp::Error& error) {
    qvhelp::FailureReport(error.Kind(), error.Message(), error.RaiseAddress()).Write();
    return 1;
  } catch (const std::bad_alloc&) {
    // Where memory ran out is not recorded; the run itself stands for it.
    qvhelp::FailureReport("EOutOfMemory", "Out of memory",
                          reinterpret_cast<const void*>(&qvhelp::RunHelpRemoval))
        .Write();
    return 1;
  }
  return 0;
}
