#include "app/file_names.h"

#include <gtest/gtest.h>

namespace qvhelp {
namespace {

TEST(ChangeFileExtTest, ReplacesTheExtensionAfterTheLastSeparator) {
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\BDS\\Help\\Common\\bds3.HxT", "C:\\BDS\\Help\\Common\\bds3.~HxT"},
      {"C:\\BDS\\\\Help\\Common\\bds3.HxT", "C:\\BDS\\\\Help\\Common\\bds3.~HxT"},
      {"\\Help\\Common\\bds3.HxT", "\\Help\\Common\\bds3.~HxT"},
      {"C:\\my.dir\\file", "C:\\my.dir\\file.~HxT"},
      {"C:file", "C:file.~HxT"},
      {"C:.HxT", "C:.~HxT"},
      {"archive.tar.gz", "archive.tar.~HxT"},
      {"trailing.", "trailing.~HxT"},
      {"", ".~HxT"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeFileExt(c.name, ".~HxT"), c.expected) << c.name;
}

}  // namespace
}  // namespace qvhelp
