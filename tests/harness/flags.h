// The programs a test binary runs, named on its command line after GoogleTest's own flags:
//
//   --program=PATH          the Linux build
//   --faults-program=PATH   the same build with fault points (Linux or Windows)
//   --wine-program=PATH     a Windows build, run under Wine
//   --wine-hold-open=PATH   that build's helper that holds a file open
//   --wine-prefix=DIR       the prefix to run it on, made there when missing
#pragma once

#include <string>

namespace qvhelp::harness {

struct Flags {
  std::string program;
  std::string faults_program;
  std::string wine_program;
  std::string wine_hold_open;
  std::string wine_prefix;
};

// The flags the test binary was started with; set by its main.
const Flags& TestFlags();

}  // namespace qvhelp::harness
