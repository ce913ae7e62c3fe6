// The file operations a run is bound to, and nothing else: the backup copy, one read of the
// whole catalogue into memory, the patched text written to a new file beside it, flushed and
// renamed over the catalogue, the folder flushed, the backup deleted. The benchmark times it
// next to the program, to show what is left when the text work is taken away.
//
//   qvhelp_bound_io CATALOGUE BACKUP
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

bool CopyWhole(const char* from, const char* to) {
  const int in = ::open(from, O_RDONLY);
  const int out = ::open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ssize_t copied = 1;
  while (in >= 0 && out >= 0 && copied > 0) {
    copied = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
  }
  ::close(in);
  ::close(out);
  return copied == 0;
}

bool FlushFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  const bool flushed = fd >= 0 && ::fsync(fd) == 0;
  ::close(fd);
  return flushed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CATALOGUE BACKUP\n", argv[0]);
    return 2;
  }
  const std::string catalogue = argv[1];
  if (!CopyWhole(argv[1], argv[2])) return 1;
  const int in = ::open(argv[1], O_RDONLY);
  struct stat status;
  if (in < 0 || ::fstat(in, &status) != 0) return 1;
  const auto size = static_cast<std::size_t>(status.st_size);
  std::unique_ptr<char[]> text(new char[size]);
  const bool read_whole = ::read(in, text.get(), size) == static_cast<ssize_t>(size);
  ::close(in);
  if (!read_whole) return 1;
  // The patched text is a little shorter than the text as read.
  const std::size_t patched = size > 256 ? size - 256 : size;
  const std::string new_path = catalogue + ".new";
  const int out = ::open(new_path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  const bool written = out >= 0 &&
                       ::write(out, text.get(), patched) == static_cast<ssize_t>(patched) &&
                       ::fsync(out) == 0;
  ::close(out);
  if (!written || ::rename(new_path.c_str(), argv[1]) != 0 || !FlushFolderOf(catalogue)) return 1;
  ::unlink(argv[2]);
  return 0;
}
