// The failure report's console operations on Linux: no code page conversion, plain writes.
#include <link.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/console.h"

namespace qvhelp::platform {
namespace {

struct ModuleSearch {
  std::uintptr_t address;
  std::uintptr_t load_address = 0;
};

// Called for each loaded module, the program itself included, whether it was linked
// statically or not: the module whose segments hold the address gives the lowest of their
// addresses.
int FindModule(dl_phdr_info* info, std::size_t, void* data) {
  auto& search = *static_cast<ModuleSearch*>(data);
  std::uintptr_t lowest = UINTPTR_MAX;
  bool holds_it = false;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    lowest = std::min(lowest, start);
    holds_it = holds_it || (search.address >= start && search.address < start + segment.p_memsz);
  }
  if (!holds_it) return 0;
  search.load_address = lowest & ~std::uintptr_t{0xFFF};
  return 1;
}

}  // namespace

CodeLocation::CodeLocation(const void* code_address) {
  ModuleSearch search{reinterpret_cast<std::uintptr_t>(code_address)};
  if (::dl_iterate_phdr(&FindModule, &search) != 0) {
    offset_ = static_cast<std::uint32_t>(search.address - search.load_address);
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
