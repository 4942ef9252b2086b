// kestrolan-db unpack, pack and info, run as built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_writer.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

const std::string kData(241 * 3, '\0');
const std::string kText = "Rue de la Gare 50 km/h Lyon; A7 110 Valence; Rue de la Gare";

TEST(LzwToolTest, PackThenUnpackGivesTheSameBytes) {
  ToolFolder dir;
  WriteFileBytes(dir.path() / "radar.db", kText);
  const ToolResult pack = dir.Run({"pack", "radar.db", "-o", "radar.lzw", "--block-size", "7"});
  EXPECT_EQ(pack.status, 0) << pack.err;
  EXPECT_EQ(ReadFileBytes(dir.path() / "radar.lzw"), CompressLzw(kText, 7));
  const ToolResult unpack = dir.Run({"unpack", "radar.lzw", "-o", "back.db"});
  EXPECT_EQ(unpack.status, 0) << unpack.err;
  EXPECT_EQ(ReadFileBytes(dir.path() / "back.db"), kText);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"back.db", "radar.db", "radar.lzw"}));
}

TEST(LzwToolTest, UnpackToStandardOutput) {
  ToolFolder dir;
  WriteFileBytes(dir.path() / "radar.lzw", CompressLzw(kText));
  const ToolResult r = dir.Run({"unpack", "radar.lzw", "-o", "-"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kText);
}

TEST(LzwToolTest, InfoShowsSizesAndRecords) {
  ToolFolder dir;
  WriteFileBytes(dir.path() / "radar.lzw", CompressLzw(kData, 300));
  const ToolResult r = dir.Run({"info", "radar.lzw"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("blocks: 3\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("expanded size: 723 bytes\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("records: 3\n"), std::string::npos) << r.out;
}

TEST(LzwToolTest, InfoSaysWhyThereAreNoRecords) {
  ToolFolder dir;
  WriteFileBytes(dir.path() / "radar.lzw", CompressLzw(kText));
  const ToolResult r = dir.Run({"info", "radar.lzw"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("records: none (59 bytes is not a whole number of 241-byte records)"),
            std::string::npos)
      << r.out;
}

struct FailureCase {
  const char* fault;
  std::vector<std::string> args;
  int status;
  std::string err;  // standard error, exactly
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fault; }

class LzwToolFailureTest : public testing::TestWithParam<FailureCase> {};

// Every case runs in a folder holding "corrupt.lzw" (its stored total one too high) and
// "out.db" ("keep me"). Faults caught: a wrong exit status or text, a partial output file left
// behind, an existing file harmed by a failed command.
TEST_P(LzwToolFailureTest, FailsCleanly) {
  const FailureCase& c = GetParam();
  ToolFolder dir;
  std::string corrupt = CompressLzw(kText);
  corrupt[corrupt.size() - 4] = static_cast<char>(corrupt[corrupt.size() - 4] + 1);
  WriteFileBytes(dir.path() / "corrupt.lzw", corrupt);
  WriteFileBytes(dir.path() / "out.db", "keep me");
  const ToolResult r = dir.Run(c.args);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, c.err);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"corrupt.lzw", "out.db"}));
  EXPECT_EQ(ReadFileBytes(dir.path() / "out.db"), "keep me");
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, LzwToolFailureTest,
    testing::Values(
        FailureCase{"unpack of a corrupt archive",
                    {"unpack", "corrupt.lzw", "-o", "out.db"},
                    1,
                    std::string("kestrolan-db: corrupt.lzw: ") + kLzwDecompressError + "\n"},
        FailureCase{"unpack of a missing archive",
                    {"unpack", "missing.lzw", "-o", "out.db"},
                    1,
                    std::string("kestrolan-db: missing.lzw: ") + kLzwFileNotFound + "\n"},
        FailureCase{"info of a corrupt archive",
                    {"info", "corrupt.lzw"},
                    1,
                    std::string("kestrolan-db: corrupt.lzw: ") + kLzwDecompressError + "\n"},
        FailureCase{"pack of a missing file",
                    {"pack", "missing.db", "-o", "out.db"},
                    1,
                    "kestrolan-db: cannot open 'missing.db': No such file or directory\n"},
        FailureCase{"unpack into a missing folder",
                    {"unpack", "corrupt.lzw", "-o", "no/such/out.db"},
                    1,
                    "kestrolan-db: cannot create 'no/such/out.db': No such file or directory\n"}));

}  // namespace
