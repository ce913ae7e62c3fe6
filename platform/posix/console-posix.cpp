// The failure report's console operations on Linux: no code page conversion, plain writes.
#include <dlfcn.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstring>

#include "platform/console.h"

namespace qvhelp::platform {

CodeLocation::CodeLocation(const void* code_address) {
  Dl_info info;
  if (::dladdr(code_address, &info) != 0 && info.dli_fbase) {
    offset_ = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(code_address) -
                                         reinterpret_cast<std::uintptr_t>(info.dli_fbase));
  }
  char path[sizeof module_name_];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0) return;
  const void* last_slash = ::memrchr(path, '/', static_cast<std::size_t>(length));
  const char* name = last_slash ? static_cast<const char*>(last_slash) + 1 : path;
  module_name_length_ = static_cast<std::size_t>(path + length - name);
  std::memcpy(module_name_, name, module_name_length_);
}

void WriteToStandardError(std::span<const std::string_view> pieces) {
  constexpr std::size_t kMaxPieces = 16;
  iovec vectors[kMaxPieces];
  std::size_t count = 0;
  for (std::string_view piece : pieces) {
    if (count == kMaxPieces) {
      [[maybe_unused]] const ssize_t ignored =
          ::writev(STDERR_FILENO, vectors, static_cast<int>(count));
      count = 0;
    }
    vectors[count++] = {const_cast<char*>(piece.data()), piece.size()};
  }
  [[maybe_unused]] const ssize_t ignored =
      ::writev(STDERR_FILENO, vectors, static_cast<int>(count));
}

}  // namespace qvhelp::platform
