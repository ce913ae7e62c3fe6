// The console operations of the failure report. Neither allocates, so a report can still be
// written when memory has run out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qvhelp::platform {

// The module that holds a code address: its file name without the directory, and the
// address's offset from the module's load address.
class CodeLocation {
 public:
  explicit CodeLocation(const void* code_address);
  std::string_view ModuleName() const { return {module_name_, module_name_length_}; }
  std::uint32_t Offset() const { return offset_; }

 private:
  char module_name_[1024];
  std::size_t module_name_length_ = 0;
  std::uint32_t offset_ = 0;
};

// Writes the pieces, one after the other, to standard error, converted to the console's code
// page; nothing is reported when there is no usable standard error.
void WriteToStandardError(std::span<const std::string_view> pieces);

}  // namespace qvhelp::platform
