#include "platform/posix/dos_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace qvhelp::platform::posix {
namespace {

namespace fs = std::filesystem;

TEST(MakeFullDosPathTest, MakesNamesAbsoluteAsWindowsDoes) {
  const std::optional<std::string> cwd = "C:\\Users\\me";
  struct Case {
    const char* name;
    const char* full;
  };
  const Case cases[] = {
      {"C:\\BDS\\Help\\Common\\bds3.HxT", "C:\\BDS\\Help\\Common\\bds3.HxT"},
      {"C:\\BDS\\\\Help\\\\\\Common\\bds3.HxT", "C:\\BDS\\Help\\Common\\bds3.HxT"},
      {"C:/BDS/Help", "C:\\BDS\\Help"},
      {"\\Help\\Common\\bds3.HxT", "C:\\Help\\Common\\bds3.HxT"},
      {"Help\\x", "C:\\Users\\me\\Help\\x"},
      {"C:Help", "C:\\Users\\me\\Help"},
      {"D:Help", "D:\\Help"},
      {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
      {"C:\\..\\..\\a", "C:\\a"},
      {"C:\\dir\\", "C:\\dir\\"},
      {"C:\\", "C:\\"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeFullDosPath(c.name, cwd), c.full) << c.name;
  EXPECT_EQ(MakeFullDosPath("\\Help", std::nullopt), "");
  EXPECT_EQ(MakeFullDosPath("D:\\Help", std::nullopt), "D:\\Help");
}

TEST(SameFileNameTest, IgnoresCaseAsWindowsDoes) {
  EXPECT_TRUE(SameFileName("bds3.HxT", "BDS3.hxt"));
  EXPECT_TRUE(SameFileName("B\xc3\xbcro", "B\xc3\x9cRO"));  // Büro, BÜRO
  EXPECT_TRUE(SameFileName("\xd0\xbf\xd0\xb0\xd0\xbf", "\xd0\x9f\xd0\x90\xd0\x9f"));  // папка
  EXPECT_FALSE(SameFileName("bds3.HxT", "bds3.HxS"));
  EXPECT_FALSE(SameFileName("bds", "bds3"));
}

class WineDrivesTest : public testing::Test {
 protected:
  void SetUp() override {
    prefix_ = fs::temp_directory_path() / ("dos_path_test." + std::to_string(::getpid()));
    fs::remove_all(prefix_);
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_directories(prefix_ / "drive_c" / "BDS" / "Help" / "Common");
    fs::create_directories(prefix_ / "drive_d");
    fs::create_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
    fs::create_symlink(prefix_ / "drive_d", prefix_ / "dosdevices" / "d:");
    fs::create_symlink("/", prefix_ / "dosdevices" / "z:");
    std::ofstream(prefix_ / "drive_c" / "BDS" / "Help" / "Common" / "bds3.HxT") << "x";
    saved_cwd_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(saved_cwd_);
    fs::remove_all(prefix_);
  }

  fs::path prefix_;
  fs::path saved_cwd_;
};

TEST_F(WineDrivesTest, FindsExistingPathsIgnoringCase) {
  const WineDrives drives(prefix_.string());
  const std::string file = (prefix_ / "dosdevices" / "c:" / "BDS" / "Help" / "Common" / "bds3.HxT");
  EXPECT_EQ(FindUnixPath(drives, "C:\\BDS\\Help\\Common\\bds3.HxT"), file);
  EXPECT_EQ(FindUnixPath(drives, "c:\\bds\\HELP\\common\\BDS3.hxt"), file);
  EXPECT_EQ(FindUnixPath(drives, "C:\\BDS\\Help\\Common\\missing"), std::nullopt);
  EXPECT_EQ(FindUnixPath(drives, "E:\\BDS"), std::nullopt);
  EXPECT_EQ(FindUnixPath(drives, "\\BDS"), std::nullopt);
}

TEST_F(WineDrivesTest, CreatesUnderAnExistingDirectoryWithTheNameAsSpelledOrAsFound) {
  const WineDrives drives(prefix_.string());
  const fs::path common = prefix_ / "dosdevices" / "c:" / "BDS" / "Help" / "Common";
  EXPECT_EQ(UnixPathToCreate(drives, "C:\\bds\\help\\common\\bds3.~HxT"), common / "bds3.~HxT");
  EXPECT_EQ(UnixPathToCreate(drives, "C:\\bds\\help\\common\\BDS3.HXT"), common / "bds3.HxT");
  EXPECT_EQ(UnixPathToCreate(drives, "C:\\bds\\nowhere\\bds3.~HxT"), std::nullopt);
  EXPECT_EQ(UnixPathToCreate(drives, "C:\\"), std::nullopt);
}

TEST_F(WineDrivesTest, CurrentDriveIsTheLongestTargetThatHoldsTheCurrentDirectory) {
  const WineDrives drives(prefix_.string());
  fs::current_path(prefix_ / "drive_c" / "BDS");
  EXPECT_EQ(drives.CurrentDirectory(), "C:\\BDS");
  fs::current_path(prefix_ / "drive_d");
  EXPECT_EQ(drives.CurrentDirectory(), "D:\\");
  fs::current_path(prefix_);
  EXPECT_EQ(
      drives.CurrentDirectory(), "Z:" + [&] {
        std::string dos = fs::canonical(prefix_).string();
        for (char& c : dos) c = c == '/' ? '\\' : c;
        return dos;
      }());
}

}  // namespace
}  // namespace qvhelp::platform::posix
