// The registry operations the program relies on: open a key of HKEY_LOCAL_MACHINE with all
// access rights, query a value's type and size, then its data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qvhelp::platform {

// The value types, as RegQueryValueExA reports them.
inline constexpr std::uint32_t kRegistryString = 1;        // REG_SZ
inline constexpr std::uint32_t kRegistryExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kRegistryBinary = 3;        // REG_BINARY
inline constexpr std::uint32_t kRegistryDword = 4;         // REG_DWORD
inline constexpr std::uint32_t kRegistryMultiString = 7;   // REG_MULTI_SZ

struct RegistryValueInfo {
  std::uint32_t type;
  std::size_t size;  // in bytes, as the 8-bit text the value reads as
};

class RegistryKey {
 public:
  // RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS): the key as the program's own
  // registry view sees it; empty when it does not exist or all access would not be granted.
  static std::optional<RegistryKey> OpenLocalMachine(const std::string& path);
  RegistryKey(RegistryKey&&) noexcept;
  ~RegistryKey();  // RegCloseKey

  // RegQueryValueExA with no data buffer.
  std::optional<RegistryValueInfo> QueryValueInfo(const std::string& name) const;
  // RegQueryValueExA into `size` bytes at `buffer`; the size is then the count written.
  std::optional<RegistryValueInfo> QueryValue(const std::string& name, char* buffer,
                                              std::size_t size) const;

  struct Handle;

 private:
  explicit RegistryKey(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

}  // namespace qvhelp::platform
