#include "platform/errors.h"

#include <gtest/gtest.h>

namespace qvhelp {
namespace {

TEST(TrimOsErrorTextTest, DropsTrailingControlBytesBlanksAndStops) {
  EXPECT_EQ(TrimOsErrorText("Access is denied.\r\n"), "Access is denied");
  EXPECT_EQ(TrimOsErrorText(std::string("No such file. .\t\0", 17)), "No such file");
  EXPECT_EQ(TrimOsErrorText("Permission denied"), "Permission denied");
  EXPECT_EQ(TrimOsErrorText("v1.2 failed"), "v1.2 failed");
  EXPECT_EQ(TrimOsErrorText(" .\r\n"), "");
}

}  // namespace
}  // namespace qvhelp
