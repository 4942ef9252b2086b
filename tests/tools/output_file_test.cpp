#include "tools/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/cmd_csv_support.h"

namespace {

TEST(OutputFileTest, CommitMovesTheWholeFileIntoPlace) {
  ToolFolder dir;
  const std::string target = (dir.path() / "out.db").string();
  WriteFileBytes(target, "old");
  OutputFile out;
  std::string error;
  ASSERT_TRUE(out.Open(target, error)) << error;
  std::fputs("new contents", out.Stream());
  EXPECT_EQ(ReadFileBytes(target), "old");  // untouched until the commit
  ASSERT_TRUE(out.Commit(error)) << error;
  EXPECT_EQ(ReadFileBytes(target), "new contents");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.db"});
}

// Fault caught: a failed command leaving its partial output, or harming the existing file.
TEST(OutputFileTest, WithoutCommitNothingChanges) {
  ToolFolder dir;
  const std::string target = (dir.path() / "out.db").string();
  WriteFileBytes(target, "old");
  {
    OutputFile out;
    std::string error;
    ASSERT_TRUE(out.Open(target, error)) << error;
    std::fputs("partial", out.Stream());
    EXPECT_EQ(dir.Entries().size(), 2u);  // the temporary file beside the target
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.db"});
}

// Fault caught: a leftover temporary file of an earlier run being reused or truncated.
TEST(OutputFileTest, AFileWithTheTemporaryNameIsLeftAlone) {
  ToolFolder dir;
  const std::string target = (dir.path() / "out.db").string();
  WriteFileBytes(dir.path() / ".out.db.partial", "someone's");
  OutputFile out;
  std::string error;
  ASSERT_TRUE(out.Open(target, error)) << error;
  std::fputs("data", out.Stream());
  ASSERT_TRUE(out.Commit(error)) << error;
  EXPECT_EQ(ReadFileBytes(dir.path() / ".out.db.partial"), "someone's");
  EXPECT_EQ(ReadFileBytes(target), "data");
}

TEST(OutputFileTest, AMissingFolderIsReported) {
  ToolFolder dir;
  const std::string target = (dir.path() / "no" / "out.db").string();
  OutputFile out;
  std::string error;
  EXPECT_FALSE(out.Open(target, error));
  EXPECT_EQ(error, "cannot create '" + target + "': No such file or directory");
}

TEST(OutputFileTest, DashIsStandardOutput) {
  OutputFile out;
  std::string error;
  ASSERT_TRUE(out.Open("-", error));
  EXPECT_EQ(out.Stream(), stdout);
  EXPECT_TRUE(out.Commit(error));
}

}  // namespace
