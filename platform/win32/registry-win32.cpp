// The Windows registry, as the program's own (32-bit when it ships) view sees it.
#include "platform/win32/windows_api.h"

#include "platform/registry.h"

namespace qvhelp::platform {

struct RegistryKey::Handle {
  HKEY key = nullptr;
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (key) ::RegCloseKey(key);
  }
};

RegistryKey::RegistryKey(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::OpenLocalMachine(const std::string& path) {
  auto handle = std::make_unique<Handle>();
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &handle->key) !=
      ERROR_SUCCESS) {
    handle->key = nullptr;
    return std::nullopt;
  }
  return RegistryKey(std::move(handle));
}

std::optional<RegistryValueInfo> RegistryKey::QueryValueInfo(const std::string& name) const {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(handle_->key, name.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryValueInfo{type, size};
}

std::optional<RegistryValueInfo> RegistryKey::QueryValue(const std::string& name, char* buffer,
                                                         std::size_t size) const {
  DWORD type = 0;
  DWORD data_size = static_cast<DWORD>(size);
  if (data_size != size ||
      ::RegQueryValueExA(handle_->key, name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer), &data_size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryValueInfo{type, data_size};
}

}  // namespace qvhelp::platform
