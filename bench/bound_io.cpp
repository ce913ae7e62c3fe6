// The file operations a run is bound to, and nothing else: the backup copy, one read of the
// whole catalogue into memory, the catalogue emptied and written once, the backup deleted.
// The benchmark times it next to the program, to show what is left when the text work is
// taken away.
//
//   qvhelp_bound_io CATALOGUE BACKUP
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "platform/files.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CATALOGUE BACKUP\n", argv[0]);
    return 2;
  }
  if (!CopyWhole(argv[1], argv[2])) return 1;
  const int in = ::open(argv[1], O_RDONLY);
  struct stat status;
  if (in < 0 || ::fstat(in, &status) != 0) return 1;
  const auto size = static_cast<std::size_t>(status.st_size);
  std::unique_ptr<char[]> text(new char[size]);
  qvhelp::platform::AdviseBufferFill(text.get(), size);  // as the program does
  const bool read_whole = ::read(in, text.get(), size) == static_cast<ssize_t>(size);
  ::close(in);
  if (!read_whole) return 1;
  // The patched text is a little shorter than the text as read.
  const std::size_t patched = size > 256 ? size - 256 : size;
  const int out = ::open(argv[1], O_WRONLY | O_TRUNC);
  const bool written =
      out >= 0 && ::write(out, text.get(), patched) == static_cast<ssize_t>(patched);
  ::close(out);
  ::unlink(argv[2]);
  return written ? 0 : 1;
}
