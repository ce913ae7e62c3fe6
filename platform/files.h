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

// A whole file replaced by a new one, so that it is at every moment either what it was or the
// whole new text. The file itself is opened for writing without being emptied, shared with
// nobody (GENERIC_READ | GENERIC_WRITE, share mode 0, OPEN_EXISTING), which holds other
// writers off until the swap; the new text goes to a new file of another name in the same
// folder, is flushed to the disk, and is then put in the file's place in one step, keeping the
// file's attributes and permissions. Until then the file is never written; a replacement that
// is given up removes its new file.
class FileReplacement {
 public:
  // Opens `name` as above, removes whatever a run that was cut short left at `new_name`, and
  // creates `new_name` afresh. Raises EFCreateError, naming `name`, when either fails.
  static FileReplacement Begin(const std::string& name, const std::string& new_name);
  FileReplacement(FileReplacement&&) noexcept;
  ~FileReplacement();  // gives the replacement up, unless it was committed

  // Writes up to `count` bytes to the new file; fewer when the system takes no more.
  std::size_t Write(const char* data, std::size_t count);
  // Flushes the new file to the disk (FlushFileBuffers); false when that fails.
  bool Flush();
  // Puts the new file in the file's place (ReplaceFileA). Raises EFCreateError, naming the
  // file, when that fails.
  void Commit();

  struct Handle;

 private:
  explicit FileReplacement(std::unique_ptr<Handle> handle);
  std::unique_ptr<Handle> handle_;
};

}  // namespace qvhelp::platform
