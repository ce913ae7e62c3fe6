// The two-line report that an error which stops the run leaves on standard error.
#pragma once

#include <array>
#include <string_view>

#include "platform/console.h"

namespace qvhelp {

class FailureReport {
 public:
  FailureReport(std::string_view kind, std::string_view message, const void* raise_address);

  // "Exception <kind> in module <module> at <offset>." CR LF "<message><stop>" CR LF, where the
  // stop is "." unless the message is empty or already ends in one.
  std::array<std::string_view, 9> Pieces() const;

  // The pieces in one write, then CR LF in a write of its own. Nothing here allocates.
  void Write() const;

 private:
  std::string_view kind_;
  std::string_view message_;
  platform::CodeLocation location_;
  char offset_digits_[8];
};

}  // namespace qvhelp
