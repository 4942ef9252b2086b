#include "platform/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

#if defined(__linux__) && !defined(KESTROLAN_TESTS_WITHOUT_NAMELESS_FILES)
constexpr std::size_t kEntriesWhileWriting = 1;  // the new file has no name until the commit
#else
constexpr std::size_t kEntriesWhileWriting = 2;  // the temporary file beside the target
#endif

#ifdef _WIN32
constexpr char kFolderReason[] = "Permission denied";
#else
constexpr char kFolderReason[] = "Is a directory";
#endif

TEST(OutputFileTest, CommitMovesTheWholeFileIntoPlace) {
  ScratchFolder dir;
  const std::string target = dir / "out.db";
  WriteFileBytes(target, "old");
  platform::OutputFile out;
  ASSERT_EQ(out.Open(target).message(), "");
  std::fputs("new contents", out.Stream());
  EXPECT_EQ(ReadFileBytes(target), "old");  // untouched until the commit
  ASSERT_EQ(out.Commit().message(), "");
  EXPECT_EQ(ReadFileBytes(target), "new contents");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.db"});
}

// Fault caught: a failed command leaving its partial output, or harming the existing file.
TEST(OutputFileTest, WithoutCommitNothingChanges) {
  ScratchFolder dir;
  const std::string target = dir / "out.db";
  WriteFileBytes(target, "old");
  {
    platform::OutputFile out;
    ASSERT_EQ(out.Open(target).message(), "");
    std::fputs("partial", out.Stream());
    EXPECT_EQ(dir.Entries().size(), kEntriesWhileWriting);
  }
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.db"});
}

// Fault caught: a leftover temporary file of an earlier run being reused or truncated.
TEST(OutputFileTest, AFileWithTheTemporaryNameIsLeftAlone) {
  ScratchFolder dir;
  const std::string target = dir / "out.db";
  WriteFileBytes(dir / ".out.db.partial", "someone's");
  EXPECT_EQ(platform::WriteOutputFile(target, "data").message(), "");
  EXPECT_EQ(ReadFileBytes(dir / ".out.db.partial"), "someone's");
  EXPECT_EQ(ReadFileBytes(target), "data");
}

TEST(OutputFileTest, FailuresNameThePathAndTheReason) {
  ScratchFolder dir;
  const std::string missing = dir / "no/out.db";
  EXPECT_EQ(platform::WriteOutputFile(missing, "x").message(),
            "cannot create '" + missing + "': No such file or directory");
  fs::create_directory(dir / "taken");
  EXPECT_EQ(platform::WriteOutputFile(dir / "taken", "x").message(),
            "cannot create '" + (dir / "taken") + "': " + kFolderReason);
}

TEST(OutputFileTest, DashIsStandardOutput) {
  platform::OutputFile out;
  ASSERT_EQ(out.Open("-").message(), "");
  EXPECT_EQ(out.Stream(), stdout);
  EXPECT_EQ(out.Commit().message(), "");
}

#ifndef _WIN32
unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

struct ModeCase {
  const char* fault;
  unsigned before;  // 0: no file there yet
  unsigned after;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.fault; }

class OutputFileModeTest : public testing::TestWithParam<ModeCase> {};

// Fault caught: a replaced private file becoming readable by everyone (or the temporary file
// being so while it is written).
TEST_P(OutputFileModeTest, AReplacedFileKeepsItsMode) {
  const ModeCase& c = GetParam();
  ScratchFolder dir;
  const std::string target = dir / "a.csv";
  if (c.before != 0) {
    WriteFileBytes(target, "old");
    fs::permissions(target, static_cast<fs::perms>(c.before));
  }
  const mode_t umask = ::umask(022);
  platform::OutputFile out;
  ASSERT_EQ(out.Open(target).message(), "");
  if (c.before != 0 && fs::exists(dir / ".a.csv.partial")) {
    EXPECT_EQ(ModeOf(dir / ".a.csv.partial"), 0600u) << c.fault;
  }
  ASSERT_EQ(out.Commit().message(), "");
  ::umask(umask);
  EXPECT_EQ(ModeOf(target), c.after) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Table, OutputFileModeTest,
                         testing::Values(ModeCase{"a private file opened to all", 0600, 0600},
                                         ModeCase{"group bits dropped", 0640, 0640},
                                         ModeCase{"an executable bit lost", 0755, 0755},
                                         ModeCase{"set-id bits carried over", 06755, 0755},
                                         ModeCase{"a new file not given the usual mode", 0, 0644}));

// Fault caught: writing through a symbolic link replacing the link with a plain file.
TEST(OutputFileTest, ASymbolicLinkKeepsPointingAtTheReplacedFile) {
  ScratchFolder dir;
  fs::create_directory(dir / "real");
  WriteFileBytes(dir / "real/a.csv", "old");
  fs::create_symlink("real/a.csv", dir / "link.csv");
  EXPECT_EQ(platform::WriteOutputFile(dir / "link.csv", "new").message(), "");
  EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
  EXPECT_EQ(ReadFileBytes(dir / "real/a.csv"), "new");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.csv", "real"}));
}
#endif

}  // namespace
