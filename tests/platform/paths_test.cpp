#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace platform {
namespace {

// Each test gets a prefix of its own, so that links made here stay here.
class Paths : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("RM460_PREFIX");
    oldPrefix_ = old != nullptr ? old : "";
    ::setenv("RM460_PREFIX", prefix_.path().c_str(), 1);
    ::mkdir(prefix_.File("dosdevices").c_str(), 0755);
  }
  void TearDown() override { ::setenv("RM460_PREFIX", oldPrefix_.c_str(), 1); }

  std::string Dos(const std::string& name) const { return prefix_.File("dosdevices/" + name); }

  testing_support::TempDir prefix_;
  std::string oldPrefix_;
};

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST_F(Paths, ComNamesUseTheirLinkOrTheSerialDeviceConvention) {
  EXPECT_EQ(ResolveComDevice("COM1"), "/dev/ttyS0");
  EXPECT_EQ(ResolveComDevice("COM3"), "/dev/ttyS2");
  EXPECT_EQ(ResolveComDevice("COM16"), "/dev/ttyS15");

  // A link counts even before its device exists (the simulator may be late).
  ASSERT_EQ(::symlink("/nonexistent/pts/9", Dos("com3").c_str()), 0);
  EXPECT_EQ(ResolveComDevice("COM3"), Dos("com3"));
  EXPECT_EQ(ResolveComDevice("COM4"), "/dev/ttyS3");

  EXPECT_EQ(ResolveComDevice("LPT1"), "LPT1");
  EXPECT_EQ(ResolveComDevice("/dev/pts/4"), "/dev/pts/4");
  EXPECT_EQ(ResolveComDevice("COMX"), "COMX");
}

TEST_F(Paths, DriveFolderIsMadeOnFirstUse) {
  ASSERT_FALSE(IsFolder(prefix_.File("drive_d")));
  EXPECT_EQ(ResolveFilePath("D://RM460_Record.txt"), prefix_.File("drive_d/RM460_Record.txt"));
  EXPECT_TRUE(IsFolder(prefix_.File("drive_d")));
  EXPECT_EQ(ResolveFilePath("d:\\logs\\a.txt"), prefix_.File("drive_d/logs/a.txt"));
}

TEST_F(Paths, DriveLinkWinsOverTheFolder) {
  const testing_support::TempDir elsewhere;
  ASSERT_EQ(::symlink(elsewhere.path().c_str(), Dos("d:").c_str()), 0);
  const std::string path = ResolveFilePath("D://RM460_Record.txt");
  EXPECT_EQ(path, Dos("d:") + "/RM460_Record.txt");
  std::ofstream(path) << "x";
  EXPECT_EQ(testing_support::ReadFile(elsewhere.File("RM460_Record.txt")), "x");
  EXPECT_FALSE(IsFolder(prefix_.File("drive_d")));
}

TEST_F(Paths, PathsWithoutDriveStandAsTheyAre) {
  EXPECT_EQ(ResolveFilePath("log.txt"), "log.txt");
  EXPECT_EQ(ResolveFilePath("/tmp/log.txt"), "/tmp/log.txt");
  EXPECT_EQ(ResolveFilePath("1:x"), "1:x");
}

TEST_F(Paths, PrefixComesFromTheEnvironment) {
  EXPECT_EQ(Prefix(), prefix_.path());
}

}  // namespace
}  // namespace platform
