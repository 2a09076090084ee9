// Windows: names and paths are the system's; only the test override moves a
// drive.
#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "tests/support/environment.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

TEST(PathsWin32, NamesAndPathsStandAsTheyAre) {
  EXPECT_EQ(ResolveComDevice("COM3"), "COM3");
  EXPECT_EQ(ResolveComDevice("COM16"), "COM16");
  EXPECT_EQ(ResolveFilePath("D://RM460_Record.txt"), "D://RM460_Record.txt");
  EXPECT_EQ(ResolveFilePath("log.txt"), "log.txt");
  EXPECT_EQ(Prefix(), testing_support::Environment("RM460_PREFIX"));
}

TEST(PathsWin32, ADriveOverrideTakesTheRootOfThatDriveOnly) {
  const testing_support::TempDir d;
  OverrideDriveFolder('D', d.path());
  EXPECT_EQ(ResolveFilePath("D://RM460_Record.txt"), d.path() + "\\RM460_Record.txt");
  EXPECT_EQ(ResolveFilePath("d:\\logs\\a.txt"), d.path() + "\\logs\\a.txt");
  EXPECT_EQ(ResolveFilePath("C://x.txt"), "C://x.txt");
  OverrideDriveFolder('D', "");
  EXPECT_EQ(ResolveFilePath("D://RM460_Record.txt"), "D://RM460_Record.txt");
}

TEST(PathsWin32, ExecutableFolderEndsInABackslash) {
  const std::string folder = ExecutableFolder();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_EQ(folder[1], ':') << folder;

  OverrideExecutableFolder("C:\\somewhere");
  EXPECT_EQ(ExecutableFolder(), "C:\\somewhere\\");
  OverrideExecutableFolder("");
  EXPECT_EQ(ExecutableFolder(), folder);
}

}  // namespace
}  // namespace platform
