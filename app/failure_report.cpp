// The failure report.
#include "app/failure_report.h"

#include <cstdint>

namespace qvhelp {

FailureReport::FailureReport(std::string_view kind, std::string_view message,
                             const void* raise_address)
    : kind_(kind), message_(message), location_(raise_address) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::uint32_t offset = location_.Offset();
  for (int i = 7; i >= 0; --i) {
    offset_digits_[i] = kHexDigits[offset & 0xF];
    offset >>= 4;
  }
}

std::array<std::string_view, 9> FailureReport::Pieces() const {
  const bool needs_stop = !message_.empty() && message_.back() != '.';
  return {"Exception ",
          kind_,
          " in module ",
          location_.ModuleName(),
          " at ",
          std::string_view(offset_digits_, sizeof offset_digits_),
          ".\r\n",
          message_,
          needs_stop ? ".\r\n" : "\r\n"};
}

void FailureReport::Write() const {
  static constexpr std::string_view kClosingBreak[] = {"\r\n"};
  const auto pieces = Pieces();
  platform::WriteToStandardError(pieces);
  platform::WriteToStandardError(kClosingBreak);
}

}  // namespace qvhelp
