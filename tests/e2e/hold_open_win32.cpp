// qvhelp_hold_open reading|writing PATH
//
// Holds PATH open as another program would, for reading or for writing, letting others read
// it, until its standard input ends. Prints "ready" once the file is open.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qvhelp_hold_open reading|writing PATH\n");
    return 2;
  }
  const bool writing = std::strcmp(argv[1], "writing") == 0;
  const HANDLE file =
      ::CreateFileA(argv[2], writing ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot open: error %lu\n", ::GetLastError());
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  char buffer[64];
  while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
  }
  ::CloseHandle(file);
  return 0;
}
