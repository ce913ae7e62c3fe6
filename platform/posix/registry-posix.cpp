// The registry of a Wine prefix: its machine hive, system.reg.
//
// Opening a key reads the hive once and keeps that key's value lines; the queries then work on
// those alone. All access is granted only when the hive file may be written, and a file with
// no write permission bit is read-only even for root, as Windows has no superuser that passes
// every access check.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/fault_points.h"
#include "platform/posix/hive_reader.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/wine_prefix.h"
#include "platform/registry.h"

namespace qvhelp::platform {

struct RegistryKey::Handle {
  std::vector<std::string> value_lines;
};

namespace {

bool IsStringType(std::uint32_t type) {
  constexpr std::uint32_t kRegistryMultiString = 7;  // REG_MULTI_SZ
  return type == kRegistryString || type == kRegistryExpandString || type == kRegistryMultiString;
}

// The value as RegQueryValueExA hands it out: string types in the ANSI code page, which is
// UTF-8 here; other types as stored.
std::optional<posix::HiveValue> ReadValue(const std::vector<std::string>& value_lines,
                                          const std::string& name) {
  std::optional<posix::HiveValue> value = posix::FindHiveValue(value_lines, name);
  if (value && IsStringType(value->type)) value->data = posix::Utf16LeToUtf8(value->data);
  return value;
}

bool MayWrite(int fd) {
  struct stat status;
  return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
         (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

}  // namespace

RegistryKey::RegistryKey(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::OpenLocalMachine(const std::string& path) {
  if (InjectFault(FaultPoint::kRegistryOpen)) return std::nullopt;
  const std::optional<std::string> prefix = posix::WinePrefixDirectory();
  if (!prefix) return std::nullopt;
  const std::string hive = *prefix + "/system.reg";
  if (::access(hive.c_str(), W_OK) != 0) return std::nullopt;
  const posix::UniqueFd fd(::open(hive.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd || !MayWrite(fd.get())) return std::nullopt;

  posix::HiveKeyScanner scanner(path);
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return std::nullopt;
    if (count == 0) break;
    scanner.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
  }
  std::optional<std::vector<std::string>> value_lines = scanner.Finish();
  if (!value_lines) return std::nullopt;
  return RegistryKey(std::make_unique<Handle>(Handle{std::move(*value_lines)}));
}

std::optional<RegistryValueInfo> RegistryKey::QueryValueInfo(const std::string& name) const {
  if (InjectFault(FaultPoint::kRegistryQuery)) return std::nullopt;
  const std::optional<posix::HiveValue> value = ReadValue(handle_->value_lines, name);
  if (!value) return std::nullopt;
  return RegistryValueInfo{value->type, value->data.size()};
}

std::optional<RegistryValueInfo> RegistryKey::QueryValue(const std::string& name, char* buffer,
                                                         std::size_t size) const {
  if (InjectFault(FaultPoint::kRegistryQuery)) return std::nullopt;
  const std::optional<posix::HiveValue> value = ReadValue(handle_->value_lines, name);
  if (!value || value->data.size() > size) return std::nullopt;
  if (!value->data.empty()) std::memcpy(buffer, value->data.data(), value->data.size());
  return RegistryValueInfo{value->type, value->data.size()};
}

}  // namespace qvhelp::platform
