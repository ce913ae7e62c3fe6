// The file operations the program relies on, with Windows' semantics on every platform.
//
// Names are 8-bit strings in the ANSI code page, passed to the operating system unchanged.
// Results of copying and deleting are reported but callers are free to ignore them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qvhelp::platform {

struct FileEntry {
  bool is_directory;
};

// What a search for the name finds (FindFirstFileA, its handle closed at once), if anything.
std::optional<FileEntry> FindFileEntry(const std::string& name);

// DeleteFileA. A read-only file is not deleted.
bool DeleteFile(const std::string& name);

// CopyFileA with fail-if-exists false: contents and attributes, over an existing destination
// unless that is read-only or a directory.
bool CopyFile(const std::string& from, const std::string& to);

// GetFullPathNameA, however long the result; empty when the name cannot be made absolute.
std::string FullPathName(const std::string& name);

// Tells the system that the `size` bytes at `data`, just allocated, are about to be filled
// front to back: on Linux a large buffer then takes huge pages, which makes faulting it in
// far cheaper. Only a hint; nothing changes when the system does not take it.
void AdviseBufferFill(char* data, std::size_t size);

// Whether the byte begins a two-byte character of the ANSI code page, so that the byte after it
// is never taken for a separator.
bool IsLeadByte(char byte);

// A file opened for reading that others may read but not write while it is open
// (GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING). Open raises EFOpenError.
class FileForReading {
 public:
  static FileForReading Open(const std::string& name);
  FileForReading(FileForReading&&) noexcept;
  ~FileForReading();

  // The size found by seeking to the end and back to the start.
  std::uint64_t Size();
  // Reads up to `count` bytes from the current position; fewer only at the end or on an error.
  std::size_t Read(char* buffer, std::size_t count);

  struct Handle;

 private:
  explicit FileForReading(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

// A file created empty or cut to zero length, shared with nobody while it is open
// (GENERIC_READ | GENERIC_WRITE, share mode 0, CREATE_ALWAYS). Create raises EFCreateError.
class FileForWriting {
 public:
  static FileForWriting Create(const std::string& name);
  FileForWriting(FileForWriting&&) noexcept;
  ~FileForWriting();

  // Writes up to `count` bytes; fewer when the system takes no more.
  std::size_t Write(const char* data, std::size_t count);
  // Back to the start, with the file cut to zero length again.
  bool Rewind();

  struct Handle;

 private:
  explicit FileForWriting(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

}  // namespace qvhelp::platform
