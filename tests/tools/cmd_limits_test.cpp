// kestrolan-db on hostile inputs, run under a small address-space limit: sizes taken from a file
// must be checked before memory is set aside for them, and running out of memory must end in a
// message, never an abort.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

namespace fs = std::filesystem;

// Far below what any of these inputs would take if sizes were believed; the tool itself, with
// its shared libraries, maps about 100 MiB.
constexpr char kMemoryLimit[] = "ulimit -v 524288;";  // KiB: 512 MiB
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

const std::string kHeader = "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n";

void AppendLittle(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An archive header naming `blockCount` blocks with their table right after the header, in a
// sparse file of `size` bytes (a few KiB on disk): every table entry reads as zeros.
void WriteSparseArchive(const fs::path& path, std::uint32_t blockCount, std::uint64_t size) {
  std::string header = "RS";
  AppendLittle(header, blockCount, 4);
  AppendLittle(header, 14, 4);
  AppendLittle(header, 0, 4);
  WriteFileBytes(path, header);
  fs::resize_file(path, size);
}

void WriteRepeated(const fs::path& path, const std::string& head, const std::string& unit,
                   std::size_t count, const std::string& tail) {
  std::ofstream out(path, std::ios::binary);
  out << head;
  const std::string chunk = [&] {
    std::string c;
    for (int i = 0; i < 4096; ++i) c += unit;
    return c;
  }();
  for (std::size_t i = 0; i < count / 4096; ++i) out << chunk;
  for (std::size_t i = 0; i < count % 4096; ++i) out << unit;
  out << tail;
}

struct LimitCase {
  const char* fault;
  std::function<void(const fs::path& folder)> makeInput;
  std::vector<std::string> args;
  int status;
  std::string err;
};

// Test names show the fault a case would catch.
void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.fault; }

class ToolMemoryLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(ToolMemoryLimitTest, EndsWithAMessageWithinTheLimit) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space; an address-space "
                  "limit cannot be applied to this build's tool";
#else
  const LimitCase& c = GetParam();
  ToolFolder folder;
  c.makeInput(folder.path());
  const ToolResult result = folder.Run(c.args, kMemoryLimit);
  EXPECT_EQ(result.status, c.status) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
#endif
}

const auto kSparseTable = [](const fs::path& folder) {
  // A table filling 1 GiB of file: 134 million entries.
  WriteSparseArchive(folder / "radar.lzw", static_cast<std::uint32_t>((kGiB - 14) / 8), kGiB);
};
const auto kHugeBlockCount = [](const fs::path& folder) {
  WriteSparseArchive(folder / "radar.lzw", 0xFFFFFFFF, 14 + 8 * std::uint64_t{0xFFFFFFFF});
};

INSTANTIATE_TEST_SUITE_P(
    Hostile, ToolMemoryLimitTest,
    testing::Values(
        LimitCase{"info allocating the table of a sparse 1 GiB archive",
                  kSparseTable,
                  {"info", "radar.lzw"},
                  1,
                  "kestrolan-db: radar.lzw: LZW file read error\n"},
        LimitCase{"export allocating the table of a sparse 1 GiB archive",
                  kSparseTable,
                  {"export", "radar.lzw", "-o", "-"},
                  1,
                  "LZW file read error\n"},
        LimitCase{"diff allocating the tables of a sparse 1 GiB archive",
                  kSparseTable,
                  {"diff", "radar.lzw", "radar.lzw", "--summary"},
                  2,
                  "kestrolan-db: radar.lzw: LZW file read error\n"
                  "kestrolan-db: radar.lzw: LZW file read error\n"},
        LimitCase{"check allocating the table of a sparse 1 GiB archive",
                  kSparseTable,
                  {"check", "radar.lzw"},
                  2,
                  "kestrolan-db: radar.lzw: LZW file read error\n"},
        LimitCase{"a block count of 0xFFFFFFFF aborting",
                  kHugeBlockCount,
                  {"export", "radar.lzw", "-o", "-"},
                  1,
                  "LZW file read error\n"},
        LimitCase{"import reserving a record per line feed before parsing",
                  [](const fs::path& folder) {
                    WriteRepeated(folder / "blank.csv", kHeader, "\r\n", 30'000'000, "");
                  },
                  {"import", "blank.csv", "-o", "radar.lzw"},
                  0,
                  ""},
        LimitCase{"a string kept for every one of 20 million fields",
                  [](const fs::path& folder) {
                    WriteRepeated(folder / "commas.csv", kHeader, ",", 20'000'000, "\r\n");
                  },
                  {"import", "commas.csv", "-o", "radar.lzw"},
                  1,
                  "commas.csv: line 2: expected 14 fields, found more\n"},
        LimitCase{"pack reading an endless input before any check",
                  [](const fs::path&) {},
                  {"pack", "/dev/zero", "-o", "radar.lzw"},
                  1,
                  "kestrolan-db: cannot read '/dev/zero': Cannot allocate memory\n"},
        LimitCase{"pack reading a 5 GiB file before looking at its size",
                  [](const fs::path& folder) {
                    WriteFileBytes(folder / "big.db", "");
                    fs::resize_file(folder / "big.db", 5 * kGiB);
                  },
                  {"pack", "big.db", "-o", "radar.lzw"},
                  1,
                  "kestrolan-db: cannot read 'big.db': more than 4294967295 bytes\n"},
        LimitCase{"import reading an endless input before any check",
                  [](const fs::path&) {},
                  {"import", "/dev/zero", "-o", "radar.lzw"},
                  1,
                  "kestrolan-db import: cannot read '/dev/zero': Cannot allocate memory\n"}));

struct OutputCase {
  const char* fault;
  std::vector<std::string> args;
  std::string shellSetup;
  std::string standardOutput;  // "" to capture it
  std::string err;
};

// Test names show the fault a case would catch.
void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.fault; }

class ToolOutputFailureTest : public testing::TestWithParam<OutputCase> {};

// A failing output is named with the system's reason, and nothing partial stays behind.
TEST_P(ToolOutputFailureTest, NamesTheOutputAndTheReason) {
  const OutputCase& c = GetParam();
  ToolFolder folder;
  std::string records;
  for (int i = 0; records.size() < (1 << 20); ++i) records += std::to_string(i) + " ";
  records.resize((records.size() / 241 + 1) * 241, ' ');  // whole records, for the export
  WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(records));
  const ToolResult result = folder.Run(c.args, c.shellSetup, c.standardOutput);
  EXPECT_EQ(result.status, 1) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"radar.lzw"}) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ToolOutputFailureTest,
    testing::Values(
        OutputCase{"unpack to a full disk blaming a temporary file",
                   {"unpack", "radar.lzw", "-o", "-"},
                   "",
                   "/dev/full",
                   "kestrolan-db: cannot write to standard output: No space left on device\n"},
        // The limit is in blocks of 512 or 1024 bytes, depending on the shell: far below 1 MB.
        OutputCase{"unpack past the file size limit blaming a temporary file",
                   {"unpack", "radar.lzw", "-o", "out.db"},
                   "trap '' XFSZ; ulimit -f 64;",
                   "",
                   "kestrolan-db: cannot write 'out.db': File too large\n"},
        OutputCase{"export to a full disk",
                   {"export", "radar.lzw", "-o", "-"},
                   "",
                   "/dev/full",
                   "kestrolan-db export: cannot write to standard output: No space left on "
                   "device\n"}));

}  // namespace
