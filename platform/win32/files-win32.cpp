// Files on Windows.
#include "platform/win32/windows_api.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/fault_points.h"
#include "platform/files.h"
#include "platform/win32/unique_handle.h"

namespace qvhelp::platform {

struct FileForReading::Handle {
  win32::UniqueHandle file;
};

namespace {

// The new file of a replacement: closed, then removed unless it is kept.
struct NewFile {
  std::string name;
  win32::UniqueHandle file;
  bool created = false;
  bool kept = false;

  ~NewFile() {
    file = win32::UniqueHandle();
    if (created && !kept) ::DeleteFileA(name.c_str());
  }
};

}  // namespace

struct FileReplacement::Handle {
  std::string name;
  win32::UniqueHandle file;  // opened with share mode 0: keeps other writers off
  NewFile new_file;
};

namespace {

// ReadFile and WriteFile take a 32-bit count; larger requests go in pieces of this size.
constexpr std::size_t kMaxTransfer = 1u << 30;

// Moves `count` bytes through `transfer(offset, asked, &moved)`, a piece at a time; stops short
// when a call fails or moves nothing.
template <typename Transfer>
std::size_t TransferInPieces(std::size_t count, Transfer transfer) {
  std::size_t done = 0;
  while (done < count) {
    DWORD step = 0;
    const DWORD asked = static_cast<DWORD>(std::min(count - done, kMaxTransfer));
    if (!transfer(done, asked, &step) || step == 0) break;
    done += step;
  }
  return done;
}

std::string OsErrorText(DWORD error) {
  char text[256];
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
  return TrimOsErrorText(std::string(text, length));
}

// The error code is read before the name is made absolute, which may overwrite it.
[[noreturn]] void FailCreate(const std::string& name, DWORD error) {
  RaiseCreateError(FullPathName(name), OsErrorText(error));
}

}  // namespace

std::optional<FileEntry> FindFileEntry(const std::string& name) {
  WIN32_FIND_DATAA data;
  const HANDLE search = ::FindFirstFileA(name.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(search);
  return FileEntry{(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

bool DeleteFile(const std::string& name) {
  if (InjectFault(FaultPoint::kDelete)) return false;
  return ::DeleteFileA(name.c_str()) != 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
  return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

std::string FullPathName(const std::string& name) {
  // Asked with the size the previous call said it needs, until the name fits: names of
  // MAX_PATH bytes and more are shown whole.
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameA(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

bool IsLeadByte(char byte) { return ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0; }

FileForReading::FileForReading(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileForReading::FileForReading(FileForReading&&) noexcept = default;
FileForReading::~FileForReading() = default;

FileForReading FileForReading::Open(const std::string& name) {
  win32::UniqueHandle file(::CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    const std::string full_name = FullPathName(name);
    RaiseOpenError(full_name, OsErrorText(error));
  }
  return FileForReading(std::make_unique<Handle>(Handle{std::move(file)}));
}

std::uint64_t FileForReading::Size() {
  const HANDLE file = handle_->file.get();
  LONG high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(file, 0, &high, FILE_END);
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return 0;
  if (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  return (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
}

std::size_t FileForReading::Read(char* buffer, std::size_t count) {
  return TransferInPieces(count, [this, buffer](std::size_t done, DWORD asked, DWORD* step) {
    return ::ReadFile(handle_->file.get(), buffer + done, asked, step, nullptr);
  });
}

FileReplacement::FileReplacement(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement::~FileReplacement() = default;

FileReplacement FileReplacement::Begin(const std::string& name, const std::string& new_name) {
  auto handle = std::make_unique<Handle>();
  handle->name = name;
  handle->new_file.name = new_name;
  if (InjectFault(FaultPoint::kOpenForWriting)) FailCreate(name, ERROR_GEN_FAILURE);
  handle->file =
      win32::UniqueHandle(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle->file) FailCreate(name, ::GetLastError());
  if (InjectFault(FaultPoint::kCreateNew)) FailCreate(name, ERROR_GEN_FAILURE);
  ::DeleteFileA(new_name.c_str());  // a leftover of a run that was cut short
  handle->new_file.file = win32::UniqueHandle(::CreateFileA(
      new_name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle->new_file.file) FailCreate(name, ::GetLastError());
  handle->new_file.created = true;
  return FileReplacement(std::move(handle));
}

std::size_t FileReplacement::Write(const char* data, std::size_t count) {
  InjectFault(FaultPoint::kWrite, &count);
  return TransferInPieces(count, [this, data](std::size_t done, DWORD asked, DWORD* step) {
    return ::WriteFile(handle_->new_file.file.get(), data + done, asked, step, nullptr);
  });
}

bool FileReplacement::Flush() {
  if (InjectFault(FaultPoint::kFlush)) return false;
  return ::FlushFileBuffers(handle_->new_file.file.get()) != 0;
}

void FileReplacement::Commit() {
  Handle& handle = *handle_;
  // ReplaceFileA opens both files itself, the replaced one for reading: the hold on it ends
  // here, as late as it can.
  handle.new_file.file = win32::UniqueHandle();
  handle.file = win32::UniqueHandle();
  if (InjectFault(FaultPoint::kSwap)) FailCreate(handle.name, ERROR_GEN_FAILURE);
  if (!::ReplaceFileA(handle.name.c_str(), handle.new_file.name.c_str(), nullptr, 0, nullptr,
                      nullptr)) {
    const DWORD error = ::GetLastError();
    // Without a backup name this error means the replaced file is gone already: the new file
    // is then the only patched text left, beside the backup copy of the original.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) handle.new_file.kept = true;
    FailCreate(handle.name, error);
  }
  handle.new_file.kept = true;
}

}  // namespace qvhelp::platform
