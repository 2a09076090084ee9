#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace platform {
namespace {

using testing_support::ReadFile;

TEST(AppendTextFile, KeepsContentAndStoresLineFeedsAsCrLf) {
  const testing_support::TempDir dir;
  const std::string path = dir.File("log.txt");
  std::ofstream(path, std::ios::binary) << "old\r\n";

  AppendTextFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_TRUE(file.Write("a\nb"));
  EXPECT_TRUE(file.Write(std::string_view("\0c\n", 3)));
  file.Close();
  EXPECT_EQ(ReadFile(path), std::string("old\r\na\r\nb\0c\r\n", 13));

  ASSERT_TRUE(AppendTextFile::AppendLine(path, "line"));
  ASSERT_TRUE(AppendTextFile::AppendLine(path, "next"));
  EXPECT_EQ(ReadFile(path), std::string("old\r\na\r\nb\0c\r\nline\r\nnext\r\n", 25));
}

TEST(AppendTextFile, OpenFailureGivesTheReason) {
  const testing_support::TempDir dir;
  const std::string path = dir.File("no-such-folder/log.txt");
  AppendTextFile file;
  std::string reason;
  EXPECT_FALSE(file.Open(path, &reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write("x\n"));

  reason.clear();
  EXPECT_FALSE(AppendTextFile::AppendLine(path, "x", &reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace platform
