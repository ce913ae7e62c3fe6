// The failure report's console operations on Windows: text converted to the OEM code page,
// written to the standard error handle.
#include "platform/win32/windows_api.h"

#include <cstring>

#include "platform/console.h"

namespace qvhelp::platform {

CodeLocation::CodeLocation(const void* code_address) {
  MEMORY_BASIC_INFORMATION memory;
  if (::VirtualQuery(code_address, &memory, sizeof memory) == 0 || !memory.AllocationBase) return;
  const auto base = reinterpret_cast<std::uintptr_t>(memory.AllocationBase);
  offset_ = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(code_address) - base);
  char path[sizeof module_name_];
  const DWORD length =
      ::GetModuleFileNameA(static_cast<HMODULE>(memory.AllocationBase), path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  std::size_t name_start = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (::IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < length) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
      name_start = i + 1;
    }
  }
  module_name_length_ = length - name_start;
  std::memcpy(module_name_, path + name_start, module_name_length_);
}

void WriteToStandardError(std::span<const std::string_view> pieces) {
  const HANDLE standard_error = ::GetStdHandle(STD_ERROR_HANDLE);
  if (standard_error == INVALID_HANDLE_VALUE || !standard_error) return;
  // Converted in place a piece of the text at a time; CharToOemA stops at a NUL, so a NUL ends
  // a piece and is written as it is.
  char chunk[1024];
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      std::size_t length = 0;
      while (length < piece.size() && length < sizeof chunk - 1 && piece[length] != '\0') {
        chunk[length] = piece[length];
        ++length;
      }
      const bool at_nul = length < piece.size() && piece[length] == '\0';
      chunk[length] = '\0';
      ::CharToOemA(chunk, chunk);
      if (at_nul) ++length;  // the NUL itself, already in place
      DWORD written;
      ::WriteFile(standard_error, chunk, static_cast<DWORD>(length), &written, nullptr);
      piece.remove_prefix(length);
    }
  }
}

}  // namespace qvhelp::platform
