#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "radardb/lzw_archive.h"
#include "radardb/lzw_writer.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include "tests/support/child_process.h"
#endif

namespace {

namespace fs = std::filesystem;

const std::string kData = "ABABABAB records";

// The rest of `file`, read from where it stands.
std::string ReadRest(const platform::File& file) {
  std::string bytes;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  return bytes;
}

// Fault caught: a temporary file that can be seen, and so left behind, in the archive's folder.
TEST(LzwTempFileTest, ExpandsIntoAFileWithoutAName) {
  ScratchFolder dir;
  WriteFileBytes(dir / "radar.lzw", CompressLzw(kData));
  platform::File expanded;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", expanded).message(), "");
  ASSERT_TRUE(expanded);
#ifndef _WIN32  // Windows shows it while it is open and deletes it when it is closed
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"radar.lzw"});
#endif
  EXPECT_EQ(ReadRest(expanded), kData);
  expanded.Close();
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"radar.lzw"});
}

// Fault caught: a user's own file with the name a temporary file once had overwritten.
TEST(LzwTempFileTest, FilesNamedLikeTheArchiveSurviveUntouched) {
  ScratchFolder dir;
  WriteFileBytes(dir / "radar.lzw", CompressLzw(kData));
  WriteFileBytes(dir / "radar", "my notes");
  WriteFileBytes(dir / "radar-1", "more notes");
  platform::File expanded;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", expanded).message(), "");
  expanded.Close();
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"radar", "radar-1", "radar.lzw"}));
  EXPECT_EQ(ReadFileBytes(dir / "radar"), "my notes");
  EXPECT_EQ(ReadFileBytes(dir / "radar-1"), "more notes");
}

std::string WithTotal(std::uint32_t storedTotal) {
  std::string archive = CompressLzw(kData);
  for (int i = 0; i < 4; ++i) {
    archive[archive.size() - 4 + i] = static_cast<char>((storedTotal >> (8 * i)) & 0xFF);
  }
  return archive;
}

struct FailureCase {
  const char* fault;
  std::string archiveBytes;  // "" for no archive file at all
  std::string error;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fault; }

class TempFailureTest : public testing::TestWithParam<FailureCase> {};

// Fault caught: a failure leaving a partial file behind or handing out a half-written one.
TEST_P(TempFailureTest, LeavesNothing) {
  const FailureCase& c = GetParam();
  ScratchFolder dir;
  if (!c.archiveBytes.empty()) WriteFileBytes(dir / "radar.lzw", c.archiveBytes);
  const std::vector<std::string> before = dir.Entries();
  platform::File expanded;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", expanded).message(), c.error);
  EXPECT_FALSE(expanded);
  EXPECT_EQ(dir.Entries(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, TempFailureTest,
    testing::Values(FailureCase{"missing archive", "", kLzwFileNotFound},
                    FailureCase{"short header", "RS", kLzwFileReadError},
                    FailureCase{"wrong magic", std::string(20, 'x'), kLzwWrongFileFormat},
                    FailureCase{"total mismatch", WithTotal(kData.size()), kLzwDecompressError}));

struct SpaceCase {
  const char* fault;
  std::uint32_t storedTotal;  // the last entry's: one less than the total
  std::optional<std::uint64_t> freeBytes;
  std::string error;
};

void PrintTo(const SpaceCase& c, std::ostream* os) { *os << c.fault; }

class FreeSpaceTest : public testing::TestWithParam<SpaceCase> {};

// The total must fit into the free space less 64 MiB before anything is written.
TEST_P(FreeSpaceTest, RefusesWhatCannotFitBeforeWriting) {
  const SpaceCase& c = GetParam();
  ScratchFolder dir;
  WriteFileBytes(dir / "radar.lzw", WithTotal(c.storedTotal));
  std::vector<std::string> asked;
  bool written = false;
  DecompressOptions options;
  options.freeSpace = [&](const std::string& folder) {
    asked.push_back(folder);
    return c.freeBytes;
  };
  options.progress = [&](std::uint64_t, std::uint64_t) { return written = true; };
  platform::File expanded;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", expanded, options).message(), c.error) << c.fault;
  EXPECT_EQ(written, c.error != kLzwTempFileError) << c.fault;
  EXPECT_EQ(asked, std::vector<std::string>{(dir.path() / "").string()}) << c.fault;
}

constexpr std::uint64_t kMargin = std::uint64_t{64} << 20;
const std::uint32_t kStored = static_cast<std::uint32_t>(kData.size() - 1);

INSTANTIATE_TEST_SUITE_P(Lzw, FreeSpaceTest,
                         testing::Values(SpaceCase{"a total that just fits refused", kStored,
                                                   kData.size() + kMargin, ""},
                                         SpaceCase{"one byte too few accepted", kStored,
                                                   kData.size() + kMargin - 1, kLzwTempFileError},
                                         SpaceCase{"the margin not kept", kStored,
                                                   kData.size() + kMargin / 2, kLzwTempFileError},
                                         SpaceCase{"a 4 GiB bomb written into 2 GiB", 0xFFFFFFFE,
                                                   std::uint64_t{2} << 30, kLzwTempFileError},
                                         SpaceCase{"unknown free space taken as none", kStored,
                                                   std::nullopt, ""},
                                         SpaceCase{"free space below the margin wrapping around",
                                                   0xFFFFFFFE, kMargin / 2, kLzwTempFileError}));

// Fault caught: the archive's folder cut at a dot in a folder name, or at the wrong separator
// (Windows writes both '\\' and '/'), so the temporary file goes somewhere else.
TEST(LzwTempFileTest, GoesIntoTheArchivesFolder) {
  ScratchFolder dir;
  fs::create_directory(dir.path() / "a.b");
#ifdef _WIN32
  const std::string folder = dir.path().string() + "\\a.b\\";
#else
  const std::string folder = dir.path().string() + "/a.b/";
#endif
  WriteFileBytes(dir.path() / "a.b" / "radar.lzw", CompressLzw(kData));
  std::string asked;
  DecompressOptions options;
  options.freeSpace = [&](const std::string& where) {
    asked = where;
    return std::nullopt;
  };
  platform::File expanded;
  EXPECT_EQ(DecompressLzw(folder + "radar.lzw", expanded, options).message(), "");
  EXPECT_EQ(asked, folder);
  EXPECT_EQ(ReadRest(expanded), kData);
}

#ifndef _WIN32
// Faults caught: read-only media refused, and a file made somewhere it may not be.
TEST(LzwTempFileTest, FallsBackToTheSystemTemporaryFolder) {
  ScratchFolder dir;
  fs::create_directory(dir.path() / "media");
  fs::create_directory(dir.path() / "tmp");
  WriteFileBytes(dir / "media/radar.lzw", CompressLzw(kData));
  const auto readable = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                        fs::perms::others_exec;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_exec);
  fs::permissions(dir.path() / "media", readable);
  const auto expandAs = [&](const fs::perms tempFolder) {
    fs::permissions(dir.path() / "tmp", tempFolder);
    return RunInChild(
        [&] {
          ::setenv("TMPDIR", (dir.path() / "tmp").c_str(), 1);
          platform::File expanded;
          const Status status = DecompressLzw(dir / "media/radar.lzw", expanded);
          return status.message() + "|" + (expanded ? ReadRest(expanded) : "");
        },
        true);
  };
  EXPECT_EQ(expandAs(fs::perms::all), "|" + kData);
  EXPECT_EQ(expandAs(readable), std::string(kLzwTempFileError) + "|");
  fs::permissions(dir.path() / "media", fs::perms::owner_all);
  fs::permissions(dir.path() / "tmp", fs::perms::owner_all);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"media", "tmp"}));
}
#endif

}  // namespace
