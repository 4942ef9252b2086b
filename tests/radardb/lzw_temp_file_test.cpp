#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "radardb/lzw_archive.h"
#include "radardb/lzw_writer.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// Every file and folder under `dir`, by path relative to it.
std::set<std::string> NamesUnder(const ScratchFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
    names.insert(fs::relative(e.path(), dir.path()).string());
  }
  return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct NameCase {
  const char* fault;
  std::string archive;
  std::string base;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.fault; }

class TempNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(TempNameTest, LiesBesideTheArchive) {
  EXPECT_EQ(LzwTempFileBaseName(GetParam().archive), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, TempNameTest,
    testing::Values(NameCase{"the extension is dropped", "maps/radar.lzw", "maps/radar"},
                    NameCase{"only the last extension is dropped", "a/radar.v2.lzw", "a/radar.v2"},
                    NameCase{"a dot in a folder name is no extension", "maps.old/radar",
                             "maps.old/radar.tmp"},
                    NameCase{"a name without extension gets a suffix", "radar", "radar.tmp"},
                    NameCase{"a leading dot is no extension", "maps/.lzw", "maps/.lzw.tmp"},
                    NameCase{"a trailing dot leaves the name", "maps/radar.", "maps/radar"}));

const std::string kData = "ABABABAB records";

TEST(LzwTempFileTest, SuccessExpandsIntoTheDerivedName) {
  ScratchFolder dir;
  WriteFile(dir / "radar.lzw", CompressLzw(kData));
  std::string temp;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", temp).message(), "");
  EXPECT_EQ(temp, dir / "radar");
  EXPECT_EQ(ReadFile(temp), kData);
}

// Fault caught: a user's own file with the derived name overwritten and later deleted.
TEST(LzwTempFileTest, AnExistingFileOfThatNameSurvivesUntouched) {
  ScratchFolder dir;
  WriteFile(dir / "radar.lzw", CompressLzw(kData));
  WriteFile(dir / "radar", "my notes");
  WriteFile(dir / "radar-1", "more notes");
  std::string temp;
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", temp).message(), "");
  EXPECT_EQ(temp, dir / "radar-2");
  EXPECT_EQ(ReadFile(dir / "radar"), "my notes");
  EXPECT_EQ(ReadFile(dir / "radar-1"), "more notes");
  EXPECT_EQ(ReadFile(temp), kData);
}

struct FailureCase {
  const char* fault;
  std::string archiveBytes;  // "" for no archive file at all
  std::string error;
  bool createsTemp;  // the failure comes after the temporary file was made
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fault; }

class TempFailureTest : public testing::TestWithParam<FailureCase> {};

// Fault caught: a failure leaving an unnamed file behind, or naming one it did not create.
TEST_P(TempFailureTest, NamesExactlyTheFileItCreated) {
  const FailureCase& c = GetParam();
  ScratchFolder dir;
  if (!c.archiveBytes.empty()) WriteFile(dir / "radar.lzw", c.archiveBytes);
  const std::set<std::string> before = NamesUnder(dir);
  std::string temp = "stale";
  EXPECT_EQ(DecompressLzw(dir / "radar.lzw", temp).message(), c.error);
  std::set<std::string> expected = before;
  if (c.createsTemp) expected.insert("radar");
  EXPECT_EQ(NamesUnder(dir), expected);
  EXPECT_EQ(temp, c.createsTemp ? dir / "radar" : "");
}

std::string Corrupted() {
  std::string a = CompressLzw(kData);
  a[a.size() - 4] ^= 1;  // the stored total
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, TempFailureTest,
    testing::Values(FailureCase{"missing archive", "", kLzwFileNotFound, false},
                    FailureCase{"short header", "RS", kLzwFileReadError, false},
                    FailureCase{"wrong magic", std::string(20, 'x'), kLzwWrongFileFormat, false},
                    FailureCase{"total mismatch", Corrupted(), kLzwDecompressError, true}));

TEST(LzwTempFileTest, NoFileCanBeCreatedThere) {
  ScratchFolder dir;
  // The archive's name is allowed; with ".tmp" added it is too long for the file system.
  const std::string name(252, 'r');
  WriteFile(dir / name, CompressLzw(kData));
  const std::set<std::string> before = NamesUnder(dir);
  std::string temp = "stale";
  EXPECT_EQ(DecompressLzw(dir / name, temp).message(), kLzwTempFileError);
  EXPECT_EQ(temp, "");
  EXPECT_EQ(NamesUnder(dir), before);
}

}  // namespace
