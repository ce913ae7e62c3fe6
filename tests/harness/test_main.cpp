// The main of every test binary that runs the program: GoogleTest's flags, then the harness's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "tests/harness/flags.h"

namespace qvhelp::harness {
namespace {

Flags flags;

void Parse(int argc, char** argv) {
  const std::pair<std::string_view, std::string*> options[] = {
      {"--program=", &flags.program},
      {"--faults-program=", &flags.faults_program},
      {"--wine-program=", &flags.wine_program},
      {"--wine-hold-open=", &flags.wine_hold_open},
      {"--wine-prefix=", &flags.wine_prefix}};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    for (const auto& [name, value] : options) {
      if (arg.starts_with(name)) *value = std::filesystem::absolute(arg.substr(name.size()));
    }
  }
}

}  // namespace

const Flags& TestFlags() { return flags; }

}  // namespace qvhelp::harness

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qvhelp::harness::Parse(argc, argv);
  return RUN_ALL_TESTS();
}
