#include "platform/file_ops.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;

namespace {

class FileOpsTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return scratch_ / name; }
  static void Write(const std::string& path, const std::string& bytes) {
    WriteFileBytes(path, bytes);
  }
  static std::string Read(const std::string& path) { return ReadFileBytes(path); }

  ScratchFolder scratch_;
};

TEST_F(FileOpsTest, MoveFileRenamesWhenTargetIsFree) {
  Write(Path("a"), "alpha");
  EXPECT_TRUE(platform::MoveFile(Path("a"), Path("a.OLD")));
  EXPECT_FALSE(fs::exists(Path("a")));
  EXPECT_EQ(Read(Path("a.OLD")), "alpha");
}

// A plain rename(2) would replace the backup; the program relies on this failing.
TEST_F(FileOpsTest, MoveFileRefusesExistingTargetAndKeepsBoth) {
  Write(Path("a"), "new");
  Write(Path("a.OLD"), "old");
  EXPECT_FALSE(platform::MoveFile(Path("a"), Path("a.OLD")));
  EXPECT_EQ(Read(Path("a")), "new");
  EXPECT_EQ(Read(Path("a.OLD")), "old");
}

TEST_F(FileOpsTest, MoveFileOfMissingSourceFails) {
  EXPECT_FALSE(platform::MoveFile(Path("missing"), Path("target")));
  EXPECT_FALSE(fs::exists(Path("target")));
}

// The installer puts a new file in place this way when no backup can be made.
TEST_F(FileOpsTest, MoveFileReplacingReplacesInOneStep) {
  Write(Path("new"), "new");
  Write(Path("a"), "old");
  EXPECT_TRUE(platform::MoveFileReplacing(Path("new"), Path("a")));
  EXPECT_EQ(Read(Path("a")), "new");
  EXPECT_FALSE(fs::exists(Path("new")));
}

TEST_F(FileOpsTest, MoveFileReplacingLeavesAFolderAndAMissingSourceAlone) {
  Write(Path("new"), "new");
  fs::create_directory(Path("folder"));
  EXPECT_FALSE(platform::MoveFileReplacing(Path("new"), Path("folder")));
  EXPECT_EQ(Read(Path("new")), "new");
  EXPECT_FALSE(platform::MoveFileReplacing(Path("missing"), Path("new")));
  EXPECT_EQ(Read(Path("new")), "new");
}

TEST_F(FileOpsTest, DeleteFileRemovesOnlyExistingFiles) {
  Write(Path("x"), "x");
  EXPECT_TRUE(platform::DeleteFile(Path("x")));
  EXPECT_FALSE(fs::exists(Path("x")));
  EXPECT_FALSE(platform::DeleteFile(Path("x")));
}

#ifndef _WIN32
TEST_F(FileOpsTest, PathBytesAreHandedOnUnchanged) {
  const std::string name = Path("caf\xc3\xa9 \x80.lzw");
  Write(name, "raw");
  EXPECT_TRUE(platform::MoveFile(name, name + ".OLD"));
  EXPECT_EQ(Read(name + ".OLD"), "raw");
  EXPECT_TRUE(platform::DeleteFile(name + ".OLD"));
}
#else
// Fault caught: UTF-8 paths handed to the ANSI calls, which miss the file or name another.
TEST_F(FileOpsTest, Utf8PathsNameTheirFiles) {
  // The scratch folder's own path is plain ASCII.
  const std::string name = scratch_.path().string() + "\\caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.lzw";
  const fs::path onDisk = scratch_.path() / L"caf\u00e9 \u65e5\u672c.lzw";
  platform::File created = platform::CreateNewFile(name);
  ASSERT_TRUE(created);
  std::fputs("raw", created.get());
  ASSERT_TRUE(created.Close());
  EXPECT_TRUE(fs::exists(onDisk));
  EXPECT_FALSE(platform::CreateNewFile(name));
  EXPECT_TRUE(platform::MoveFile(name, name + ".OLD"));
  EXPECT_TRUE(fs::exists(onDisk.wstring() + L".OLD"));
  platform::File moved = platform::OpenFile(name + ".OLD", "rb");
  ASSERT_TRUE(moved);
  char back[4] = {};
  EXPECT_EQ(std::fread(back, 1, 3, moved.get()), 3u);
  EXPECT_EQ(std::string(back), "raw");
  moved.Close();
  EXPECT_TRUE(platform::DeleteFile(name + ".OLD"));
  EXPECT_EQ(scratch_.Entries(), std::vector<std::string>{});
}
#endif

// The expansion and installation bounds rest on this figure.
// Faults caught: spellings of one file taken for two (so an output replaces an input), and two
// files with equal contents or names in different folders taken for one.
TEST_F(FileOpsTest, SameFileSeesThroughEverySpelling) {
  Write(Path("a"), "same");
  Write(Path("b"), "same");
  fs::create_directory(Path("sub"));
  Write(Path("sub/a"), "same");
  const std::string absolute = fs::absolute(Path("a")).string();
  EXPECT_TRUE(platform::SameFile(Path("a"), absolute));
  EXPECT_TRUE(platform::SameFile(Path("a"), Path("sub/../a")));
  EXPECT_FALSE(platform::SameFile(Path("a"), Path("b")));
  EXPECT_FALSE(platform::SameFile(Path("a"), Path("sub/a")));
  EXPECT_FALSE(platform::SameFile(Path("a"), Path("missing")));
  EXPECT_FALSE(platform::SameFile(Path("missing"), Path("missing")));
  std::error_code error;
  fs::create_hard_link(Path("a"), Path("hard"), error);
  if (!error) {
    EXPECT_TRUE(platform::SameFile(Path("hard"), Path("a")));
  }
#ifndef _WIN32
  fs::create_symlink(absolute, Path("link"));
  EXPECT_TRUE(platform::SameFile(Path("link"), Path("a")));
#endif
}

TEST_F(FileOpsTest, AvailableBytesOfAnExistingFolderOnly) {
  EXPECT_GT(platform::AvailableBytes(Path("")).value_or(0), 0u);
  EXPECT_EQ(platform::AvailableBytes(Path("missing/folder")), std::nullopt);
}

#ifdef _WIN32
constexpr std::uint64_t kLargeFile = std::uint64_t{1} << 32;  // what wine's files take
#else
constexpr std::uint64_t kLargeFile = std::uint64_t{1} << 40;  // sparse: 1 TiB
#endif

// Faults caught: an endless input read to the end before the limit is looked at, a large file
// read before its size is, and an input of exactly the limit refused.
TEST_F(FileOpsTest, ReadWholeFileRefusesMoreThanTheLimit) {
  std::string bytes = "stale";
#ifndef _WIN32
  EXPECT_EQ(platform::ReadWholeFile("/dev/zero", bytes, 3000000).message(),
            "cannot read '/dev/zero': more than 3000000 bytes");
  EXPECT_EQ(bytes, "");
#endif
  Write(Path("exact"), "12345");
  EXPECT_EQ(platform::ReadWholeFile(Path("exact"), bytes, 5).message(), "");
  EXPECT_EQ(bytes, "12345");
  std::filesystem::resize_file(Path("exact"), kLargeFile);
  EXPECT_EQ(platform::ReadWholeFile(Path("exact"), bytes, 5).message(),
            "cannot read '" + Path("exact") + "': more than 5 bytes");
}

}  // namespace
