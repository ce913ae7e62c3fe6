// The registry of a Wine prefix: its machine hive, system.reg.
//
// Opening a key reads the hive whole and keeps that key's value lines; the queries then work
// on those alone. All access is granted only when the hive file may be written, and a file with
// no write permission bit is read-only even for root, as Windows has no superuser that passes
// every access check.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/fault_points.h"
#include "platform/posix/hive_reader.h"
#include "platform/posix/hive_value.h"
#include "platform/posix/transfer.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/utf8.h"
#include "platform/posix/wine_prefix.h"
#include "platform/registry.h"

namespace qvhelp::platform {

struct RegistryKey::Handle {
  std::vector<std::string> value_lines;
};

namespace {

bool IsStringType(std::uint32_t type) {
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

// Memory that a hive is read into whole. Touching fresh memory costs more here than reading
// the file: the memory asks for huge pages, so that it takes a few page faults rather than
// hundreds, and it is kept from one read to the next, as a run opens the key twice.
class HiveBuffer {
 public:
  // The whole file as it is now, however much it has grown since its size was taken.
  std::optional<std::string_view> ReadToEnd(int fd, std::size_t size_hint) {
    Reserve(size_hint + 1, 0);
    std::size_t size = 0;
    for (;;) {
      const posix::Transferred read = posix::TransferFully(capacity_ - size, [&](std::size_t done) {
        return ::read(fd, bytes_.get() + size + done, capacity_ - size - done);
      });
      if (read.failed) return std::nullopt;
      size += read.count;
      if (size < capacity_) return std::string_view(bytes_.get(), size);
      Reserve(2 * capacity_, size);
    }
  }

 private:
  static constexpr std::size_t kHugePage = 2 << 20;
  struct Release {
    void operator()(char* bytes) const { ::operator delete (bytes, std::align_val_t{kHugePage}); }
  };

  // At least `capacity` bytes, the first `kept` of them kept.
  void Reserve(std::size_t capacity, std::size_t kept) {
    if (capacity <= capacity_) return;
    capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    std::unique_ptr<char, Release> larger(
        static_cast<char*>(::operator new (capacity, std::align_val_t{kHugePage})));
    ::madvise(larger.get(), capacity, MADV_HUGEPAGE);
    if (kept > 0) std::memcpy(larger.get(), bytes_.get(), kept);
    bytes_ = std::move(larger);
    capacity_ = capacity;
  }

  std::unique_ptr<char, Release> bytes_;
  std::size_t capacity_ = 0;
};

bool MayWrite(const struct stat& status) {
  return S_ISREG(status.st_mode) && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
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
  struct stat status;
  if (!fd || ::fstat(fd.get(), &status) != 0 || !MayWrite(status)) return std::nullopt;
  static HiveBuffer buffer;
  const std::optional<std::string_view> text =
      buffer.ReadToEnd(fd.get(), static_cast<std::size_t>(status.st_size));
  if (!text) return std::nullopt;
  std::optional<std::vector<std::string>> value_lines = posix::FindHiveKey(*text, path);
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
