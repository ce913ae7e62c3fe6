// Files on the drives of a Wine prefix, with Windows' semantics.
//
// A file with no write permission bit carries Windows' read-only attribute: it is neither
// opened for writing nor deleted nor overwritten by a copy, even by root. The sharing rules of
// the whole-file read and write are kept with open-file-description locks, taken at once or
// not at all, so two cooperating processes never interleave; a process that takes no lock is
// not held off.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/errors.h"
#include "platform/fault_points.h"
#include "platform/files.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/transfer.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/wine_prefix.h"

namespace qvhelp::platform {

struct FileForReading::Handle {
  posix::UniqueFd fd;
};

namespace {

// The new file of a replacement, removed when it is not kept.
struct NewFile {
  std::string path;
  posix::UniqueFd fd;
  bool kept = false;

  ~NewFile() {
    if (fd && !kept) ::unlink(path.c_str());
  }
};

}  // namespace

struct FileReplacement::Handle {
  std::string name;
  std::string path;
  posix::UniqueFd file;  // holds the exclusive lock that keeps other writers off
  NewFile new_file;
};

namespace {

// The prefix's drives and the current directory, found once: neither changes during a run.
struct Drives {
  posix::WineDrives drives;
  std::optional<std::string> current_directory;
};

const std::optional<Drives>& PrefixDrives() {
  static const std::optional<Drives> drives = []() -> std::optional<Drives> {
    std::optional<std::string> prefix = posix::WinePrefixDirectory();
    if (!prefix) return std::nullopt;
    posix::WineDrives wine_drives(std::move(*prefix));
    std::optional<std::string> current_directory = wine_drives.CurrentDirectory();
    return Drives{std::move(wine_drives), std::move(current_directory)};
  }();
  return drives;
}

}  // namespace

std::string FullPathName(const std::string& name) {
  const std::optional<Drives>& drives = PrefixDrives();
  if (!drives) return {};
  return posix::MakeFullDosPath(name, drives->current_directory);
}

namespace {

std::optional<std::string> ExistingPath(const std::string& name) {
  const std::optional<Drives>& drives = PrefixDrives();
  if (!drives) return std::nullopt;
  return posix::FindUnixPath(drives->drives, FullPathName(name));
}

std::optional<std::string> PathToCreate(const std::string& name) {
  const std::optional<Drives>& drives = PrefixDrives();
  if (!drives) return std::nullopt;
  return posix::UnixPathToCreate(drives->drives, FullPathName(name));
}

bool IsReadOnly(const struct stat& status) {
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// The error the system gives for a refused open, and the name, for the open and create errors.
std::string OsErrorText(int error) { return TrimOsErrorText(std::strerror(error)); }

[[noreturn]] void FailOpen(const std::string& name, int error) {
  const std::string text = OsErrorText(error);
  RaiseOpenError(FullPathName(name), text);
}

[[noreturn]] void FailCreate(const std::string& name, int error) {
  const std::string text = OsErrorText(error);
  RaiseCreateError(FullPathName(name), text);
}

// Windows' sharing rules for a whole file: a shared lock lets others read, an exclusive one
// lets nobody in. Never waits.
bool LockWholeFile(int fd, short type) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool CopyContents(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (count == 0) return true;
    if (count > 0) continue;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
    break;
  }
  for (;;) {
    const posix::Transferred read = posix::TransferFully(sizeof buffer, [&](std::size_t done) {
      return ::read(from, buffer + done, sizeof buffer - done);
    });
    if (read.failed) return false;
    if (read.count == 0) return true;
    const posix::Transferred written = posix::TransferFully(read.count, [&](std::size_t done) {
      return ::write(to, buffer + done, read.count - done);
    });
    if (written.count < read.count) return false;
  }
}

}  // namespace

std::optional<FileEntry> FindFileEntry(const std::string& name) {
  if (InjectFault(FaultPoint::kFind)) return std::nullopt;
  const std::optional<std::string> path = ExistingPath(name);
  struct stat status;
  if (!path || ::stat(path->c_str(), &status) != 0) return std::nullopt;
  return FileEntry{S_ISDIR(status.st_mode)};
}

bool DeleteFile(const std::string& name) {
  if (InjectFault(FaultPoint::kDelete)) return false;
  const std::optional<std::string> path = ExistingPath(name);
  struct stat status;
  if (!path || ::stat(path->c_str(), &status) != 0) return false;
  if (S_ISDIR(status.st_mode) || IsReadOnly(status)) return false;
  return ::unlink(path->c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to) {
  if (InjectFault(FaultPoint::kCopy)) return false;
  const std::optional<std::string> source_path = ExistingPath(from);
  const std::optional<std::string> destination_path = PathToCreate(to);
  if (!source_path || !destination_path) return false;
  const posix::UniqueFd source(::open(source_path->c_str(), O_RDONLY | O_CLOEXEC));
  struct stat source_status;
  if (!source || ::fstat(source.get(), &source_status) != 0 || !S_ISREG(source_status.st_mode)) {
    return false;
  }
  struct stat destination_status;
  if (::stat(destination_path->c_str(), &destination_status) == 0) {
    const bool same_file = destination_status.st_dev == source_status.st_dev &&
                           destination_status.st_ino == source_status.st_ino;
    if (same_file || !S_ISREG(destination_status.st_mode) || IsReadOnly(destination_status)) {
      return false;
    }
  }
  const posix::UniqueFd destination(
      ::open(destination_path->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (!destination || !CopyContents(source.get(), destination.get())) return false;
  // Windows copies the attributes and the last-write time with the contents.
  const struct timespec times[2] = {source_status.st_atim, source_status.st_mtim};
  return ::fchmod(destination.get(), source_status.st_mode & 07777) == 0 &&
         ::futimens(destination.get(), times) == 0;
}

bool IsLeadByte(char) { return false; }  // UTF-8 has no byte that a separator could follow

FileForReading::FileForReading(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileForReading::FileForReading(FileForReading&&) noexcept = default;
FileForReading::~FileForReading() = default;

FileForReading FileForReading::Open(const std::string& name) {
  if (InjectFault(FaultPoint::kOpenForReading)) FailOpen(name, EIO);
  const std::optional<std::string> path = ExistingPath(name);
  if (!path) FailOpen(name, ENOENT);
  posix::UniqueFd fd(::open(path->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) FailOpen(name, errno);
  struct stat status;
  if (::fstat(fd.get(), &status) != 0) FailOpen(name, errno);
  if (S_ISDIR(status.st_mode)) FailOpen(name, EISDIR);
  if (!LockWholeFile(fd.get(), F_RDLCK)) FailOpen(name, errno);
  return FileForReading(std::make_unique<Handle>(Handle{std::move(fd)}));
}

std::uint64_t FileForReading::Size() {
  const off_t end = ::lseek(handle_->fd.get(), 0, SEEK_END);
  if (end < 0 || ::lseek(handle_->fd.get(), 0, SEEK_SET) != 0) return 0;
  return static_cast<std::uint64_t>(end);
}

std::size_t FileForReading::Read(char* buffer, std::size_t count) {
  // An injected fault lets only part of the request through.
  InjectFault(FaultPoint::kRead, &count);
  return posix::TransferFully(count,
                              [&](std::size_t done) {
                                return ::read(handle_->fd.get(), buffer + done, count - done);
                              })
      .count;
}

FileReplacement::FileReplacement(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
FileReplacement::FileReplacement(FileReplacement&&) noexcept = default;
FileReplacement::~FileReplacement() = default;

FileReplacement FileReplacement::Begin(const std::string& name, const std::string& new_name) {
  if (InjectFault(FaultPoint::kOpenForWriting)) FailCreate(name, EIO);
  auto handle = std::make_unique<Handle>();
  handle->name = name;
  std::optional<std::string> path = ExistingPath(name);
  if (!path) FailCreate(name, ENOENT);
  handle->path = std::move(*path);
  // Opened for writing, never with O_TRUNC: the lock wants a descriptor that may write.
  handle->file = posix::UniqueFd(::open(handle->path.c_str(), O_RDWR | O_CLOEXEC));
  if (!handle->file) FailCreate(name, errno);
  struct stat status;
  if (::fstat(handle->file.get(), &status) != 0) FailCreate(name, errno);
  if (S_ISDIR(status.st_mode)) FailCreate(name, EISDIR);
  if (IsReadOnly(status)) FailCreate(name, EACCES);
  if (!LockWholeFile(handle->file.get(), F_WRLCK)) FailCreate(name, errno);

  if (InjectFault(FaultPoint::kCreateNew)) FailCreate(name, EIO);
  std::optional<std::string> new_path = PathToCreate(new_name);
  if (!new_path) FailCreate(name, ENOENT);
  NewFile& new_file = handle->new_file;
  new_file.path = std::move(*new_path);
  ::unlink(new_file.path.c_str());  // a leftover of a run that was cut short
  new_file.fd =
      posix::UniqueFd(::open(new_file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!new_file.fd) FailCreate(name, errno);
  // The file's owner and permission bits, as Windows keeps its attributes and security; the
  // owner first, since a change of owner clears the set-id bits.
  if (::geteuid() == 0 && ::fchown(new_file.fd.get(), status.st_uid, status.st_gid) != 0) {
    FailCreate(name, errno);
  }
  if (::fchmod(new_file.fd.get(), status.st_mode & 07777) != 0) FailCreate(name, errno);
  return FileReplacement(std::move(handle));
}

std::size_t FileReplacement::Write(const char* data, std::size_t count) {
  InjectFault(FaultPoint::kWrite, &count);
  return posix::TransferFully(count,
                              [&](std::size_t done) {
                                return ::write(handle_->new_file.fd.get(), data + done,
                                               count - done);
                              })
      .count;
}

bool FileReplacement::Flush() {
  if (InjectFault(FaultPoint::kFlush)) return false;
  return ::fsync(handle_->new_file.fd.get()) == 0;
}

void FileReplacement::Commit() {
  Handle& handle = *handle_;
  if (InjectFault(FaultPoint::kSwap)) FailCreate(handle.name, EIO);
  if (::rename(handle.new_file.path.c_str(), handle.path.c_str()) != 0) {
    FailCreate(handle.name, errno);
  }
  handle.new_file.kept = true;
  // The rename itself is on the disk only once the folder is.
  if (InjectFault(FaultPoint::kSwapSync)) FailCreate(handle.name, EIO);
  const std::size_t slash = handle.path.rfind('/');
  const std::string folder = slash == 0 ? "/" : handle.path.substr(0, slash);
  const posix::UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder_fd || ::fsync(folder_fd.get()) != 0) FailCreate(handle.name, errno);
}

}  // namespace qvhelp::platform
