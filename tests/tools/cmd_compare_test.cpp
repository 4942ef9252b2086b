// kestrolan-db diff and check, run as built.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "radardb/records/radar_record.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kNorth = 3142;  // the raw direction of 0 degrees

// A record at (x, y) of category 1 heading north, with the texts "50", `road` and "Lyon".
std::string Rec(int x, int y, int speed = 50, const std::string& road = "A1",
                std::uint32_t unusedBits = 0) {
  RadarRecord record;
  record.X = static_cast<std::uint16_t>(x);
  record.Y = static_cast<std::uint16_t>(y);
  record.packed = kNorth << kDirectionShift | static_cast<std::uint32_t>(speed) << kSpeedShift |
                  1u << kSubcatShift | unusedBits;
  std::string("50").copy(record.Speed, kSpeedFieldSize);
  road.copy(record.Road, kRoadFieldSize);
  std::string("Lyon").copy(record.City, kCityFieldSize);
  std::string bytes;
  record.AppendTo(bytes);
  return bytes;
}

const std::string kOld = Rec(100, 200) + Rec(300, 400) + Rec(500, 600) + Rec(700, 800);
const std::string kNew = Rec(100, 200) + Rec(300, 400, 90) + Rec(505, 600) + Rec(900, 900);

const std::string kDiffHeader =
    "status,old_index,old_CoordX,old_CoordY,old_SS,old_MS,old_LS,old_X,old_Y,old_subcat,old_mph,"
    "old_speed,old_dir,old_Speed,old_Road,old_City,new_index,new_CoordX,new_CoordY,new_SS,new_MS,"
    "new_LS,new_X,new_Y,new_subcat,new_mph,new_speed,new_dir,new_Speed,new_Road,new_City\r\n";
const std::string kDiffLines =
    "changed,1,300,400,0,0,0,300,400,1,0,50,0,50,A1,Lyon,1,300,400,0,0,0,300,400,1,0,90,0,50,A1,"
    "Lyon\r\n"
    "moved,2,500,600,0,0,0,500,600,1,0,50,0,50,A1,Lyon,2,505,600,0,0,0,505,600,1,0,50,0,50,A1,"
    "Lyon\r\n"
    "added,,,,,,,,,,,,,,,,3,900,900,0,0,0,900,900,1,0,50,0,50,A1,Lyon\r\n"
    "removed,3,700,800,0,0,0,700,800,1,0,50,0,50,A1,Lyon,,,,,,,,,,,,,,,\r\n";

struct RunCase {
  const char* fault;
  std::string oldRecords;  // "missing" for no archive
  std::string newRecords;
  std::vector<std::string> args;
  int status;
  std::string out;
  std::string err;
};

// Test names show the fault a case would catch.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.fault; }

class DiffRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(DiffRunTest, ExitsAsDiffDoes) {
  const RunCase& c = GetParam();
  ToolFolder folder;
  if (c.oldRecords != "missing")
    WriteFileBytes(folder.path() / "old.lzw", CompressLzw(c.oldRecords));
  WriteFileBytes(folder.path() / "new.lzw", CompressLzw(c.newRecords));
  std::vector<std::string> args = {"diff", "old.lzw", "new.lzw"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult result = folder.Run(args);
  EXPECT_EQ(result.status, c.status) << c.fault;
  EXPECT_EQ(result.out, c.out) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DiffRunTest,
    testing::Values(RunCase{"same databases called different",
                            kOld,
                            kOld,
                            {},
                            0,
                            kDiffHeader,
                            "0 added, 0 removed, 0 moved, 0 changed, 4 unchanged\n"},
                    RunCase{"differences not listed",
                            kOld,
                            kNew,
                            {},
                            1,
                            kDiffHeader + kDiffLines,
                            "1 added, 1 removed, 1 moved, 1 changed, 1 unchanged\n"},
                    RunCase{"--summary still lists",
                            kOld,
                            kNew,
                            {"--summary"},
                            1,
                            "",
                            "1 added, 1 removed, 1 moved, 1 changed, 1 unchanged\n"},
                    RunCase{"--tolerance ignored",
                            kOld,
                            kNew,
                            {"--tolerance", "4", "--summary"},
                            1,
                            "",
                            "2 added, 2 removed, 0 moved, 1 changed, 1 unchanged\n"},
                    RunCase{"missing archive not trouble",
                            "missing",
                            kNew,
                            {},
                            2,
                            "",
                            "kestrolan-db: old.lzw: LZW file not found\n"},
                    RunCase{"partial record not trouble",
                            kOld + "x",
                            kNew,
                            {},
                            2,
                            "",
                            "kestrolan-db: old.lzw: Database ends inside a record\n"}));

TEST(DiffFileTest, WritesTheCsvNamedByDashO) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "old.lzw", CompressLzw(kOld));
  WriteFileBytes(folder.path() / "new.lzw", CompressLzw(kNew));
  const ToolResult result = folder.Run({"diff", "-o", "changes.csv", "old.lzw", "new.lzw"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFileBytes(folder.path() / "changes.csv"), kDiffHeader + kDiffLines);
}

TEST(DiffFileTest, NamesAFullDiskAsTrouble) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "old.lzw", CompressLzw(kOld));
  WriteFileBytes(folder.path() / "new.lzw", CompressLzw(kNew));
  const ToolResult result = folder.Run({"diff", "old.lzw", "new.lzw"}, "", "/dev/full");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err,
            "kestrolan-db diff: cannot write to standard output: No space left on device\n");
}

class CheckRunTest : public testing::TestWithParam<RunCase> {};

TEST_P(CheckRunTest, ListsFindingsAndExits) {
  const RunCase& c = GetParam();
  ToolFolder folder;
  if (c.oldRecords != "missing") {
    WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(c.oldRecords));
  }
  std::vector<std::string> args = {"check", "radar.lzw"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult result = folder.Run(args);
  EXPECT_EQ(result.status, c.status) << c.fault;
  EXPECT_EQ(result.out, c.out) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
}

const std::string kCheckHeader = "index,finding,other_index,detail\r\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, CheckRunTest,
    testing::Values(
        RunCase{"clean database reported",
                kOld,
                "",
                {},
                0,
                kCheckHeader,
                "0 duplicate, 0 conflict, 0 near-duplicate, 0 cut-text, 0 control-character, 0 "
                "unused-bits in 4 records\n"},
        RunCase{"a kind of finding missed or misprinted",
                Rec(100, 200) + Rec(100, 200) + Rec(100, 200, 90) + Rec(110, 200) +
                    Rec(500, 500, 50, std::string(kRoadFieldSize, 'r')) +
                    Rec(700, 700, 50, "A\t1") + Rec(900, 900, 50, "A1", 0x13),
                "",
                {},
                1,
                kCheckHeader +
                    "1,duplicate,0,\r\n2,conflict,0,\r\n3,near-duplicate,0,\r\n4,cut-text,,Road\r\n"
                    "5,control-character,,Road 0x09\r\n6,unused-bits,,0x13\r\n",
                "1 duplicate, 1 conflict, 1 near-duplicate, 1 cut-text, 1 control-character, 1 "
                "unused-bits in 7 records\n"},
        RunCase{"missing archive not trouble",
                "missing",
                "",
                {},
                2,
                "",
                "kestrolan-db: radar.lzw: LZW file not found\n"}));

// Faults caught: the change list diff writes not applying as written, or a list that does not fit
// leaving a partial archive behind or exiting as if it applied.
TEST(PatchTest, AppliesWhatDiffWroteAndRefusesWhatDoesNotFit) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "old.lzw", CompressLzw(kOld));
  WriteFileBytes(folder.path() / "new.lzw", CompressLzw(kNew));
  ASSERT_EQ(folder.Run({"diff", "old.lzw", "new.lzw", "-o", "changes.csv"}).status, 1);
  ASSERT_EQ(folder.Run({"patch", "old.lzw", "changes.csv", "-o", "patched.lzw"}).status, 0);
  EXPECT_EQ(folder.Run({"export", "patched.lzw", "-o", "-"}).out,
            folder.Run({"export", "new.lzw", "-o", "-"}).out);

  WriteFileBytes(folder.path() / "other.lzw", CompressLzw(kNew));
  const ToolResult misfit = folder.Run({"patch", "other.lzw", "changes.csv", "-o", "x.lzw"});
  EXPECT_EQ(misfit.status, 2);
  EXPECT_EQ(misfit.err.rfind("changes.csv: line 2: the old fields are not those of record ", 0), 0u)
      << misfit.err;
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "x.lzw"));
}

// Faults caught: merged records re-encoded, reordered or counted wrongly in the summary.
TEST(MergeToolTest, WritesTheRecordsInTurnAndSumsThemUp) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "old.lzw", CompressLzw(kOld));
  WriteFileBytes(folder.path() / "new.lzw", CompressLzw(kNew));
  const ToolResult merged =
      folder.Run({"merge", "old.lzw", "new.lzw", "-o", "m.lzw", "--drop", "duplicates"});
  EXPECT_EQ(merged.status, 0);
  EXPECT_EQ(merged.err, "4 + 4 records; 1 duplicates dropped; 7 written\n");
  EXPECT_EQ(folder.Run({"unpack", "m.lzw", "-o", "-"}).out, kOld + kNew.substr(kRadarRecordSize));
}

}  // namespace
