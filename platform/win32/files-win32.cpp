// Files on Windows.
#include "platform/win32/windows_api.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/win32/unique_handle.h"

namespace qvhelp::platform {

struct FileForReading::Handle {
  win32::UniqueHandle file;
};

struct FileForWriting::Handle {
  win32::UniqueHandle file;
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

}  // namespace

std::optional<FileEntry> FindFileEntry(const std::string& name) {
  WIN32_FIND_DATAA data;
  const HANDLE search = ::FindFirstFileA(name.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(search);
  return FileEntry{(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

bool DeleteFile(const std::string& name) { return ::DeleteFileA(name.c_str()) != 0; }

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

void AdviseBufferFill(char*, std::size_t) {}  // Windows takes no such hint for heap memory

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

FileForWriting::FileForWriting(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileForWriting::FileForWriting(FileForWriting&&) noexcept = default;
FileForWriting::~FileForWriting() = default;

FileForWriting FileForWriting::Create(const std::string& name) {
  // Made before CREATE_ALWAYS empties the file, so that running out of memory cannot leave it
  // empty.
  auto handle = std::make_unique<Handle>();
  handle->file =
      win32::UniqueHandle(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle->file) {
    const DWORD error = ::GetLastError();
    const std::string full_name = FullPathName(name);
    RaiseCreateError(full_name, OsErrorText(error));
  }
  return FileForWriting(std::move(handle));
}

std::size_t FileForWriting::Write(const char* data, std::size_t count) {
  return TransferInPieces(count, [this, data](std::size_t done, DWORD asked, DWORD* step) {
    return ::WriteFile(handle_->file.get(), data + done, asked, step, nullptr);
  });
}

bool FileForWriting::Rewind() {
  const HANDLE file = handle_->file.get();
  return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
         ::SetEndOfFile(file) != 0;
}

}  // namespace qvhelp::platform
