#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/tools/cmd_csv_support.h"

namespace {

const std::string kHeader = "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n";
const std::string kGoodLine =
    "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,\"A7, exit 3\",Lyon\r\n";

struct RoundTripCase {
  const char* fault;
  std::string csv;
};

// Test names show the fault a case would catch.
void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.fault; }

class ImportRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ImportRoundTripTest, ExportGivesBackTheSameCsv) {
  const RoundTripCase& c = GetParam();
  ToolFolder folder;
  WriteFileBytes(folder.path() / "edited.csv", c.csv);
  const ToolResult imported = folder.Run({"import", "edited.csv", "-o", "radar.lzw"});
  ASSERT_EQ(imported.status, 0) << c.fault << ": " << imported.err;
  EXPECT_EQ(imported.err, "") << c.fault;
  const ToolResult exported = folder.Run({"export", "radar.lzw", "-o", "-"});
  EXPECT_EQ(exported.status, 0) << c.fault << ": " << exported.err;
  EXPECT_EQ(exported.out, c.csv) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Databases, ImportRoundTripTest,
    testing::Values(RoundTripCase{"empty database refused", kHeader},
                    RoundTripCase{"single record altered", kHeader + kGoodLine},
                    RoundTripCase{"sample database altered", ReadFileBytes(KESTROLAN_SAMPLE_CSV)}));

TEST(ImportTest, BadLineNamesItsLineAndWritesNothing) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "edited.csv",
                 kHeader + kGoodLine + kGoodLine +
                     "1090234,561678,18,52,60,1234,5678,3,1,50,300,50,A7,Lyon\r\n" + kGoodLine);
  WriteFileBytes(folder.path() / "radar.lzw", "previous archive");
  const ToolResult result = folder.Run({"import", "edited.csv", "-o", "radar.lzw"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "edited.csv: line 4: dir 300 is not a direction a record can hold\n");
  EXPECT_EQ(ReadFileBytes(folder.path() / "radar.lzw"), "previous archive");
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"edited.csv", "radar.lzw"}));
}

// Faults caught: a hostile field copied whole to the terminal, escape sequences included.
TEST(ImportTest, BadFieldIsShownEscapedAndCut) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "edited.csv",
                 kHeader + "1090234,561678,18,52,60,\x1B]0;owned\x07" +
                     std::string(20'000'000, 'A') + ",5678,3,1,50,0,50,A7,Lyon\r\n");
  const ToolResult result = folder.Run({"import", "edited.csv", "-o", "radar.lzw"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.err,
      "edited.csv: line 2: X must be a whole number from 0 to 65535, not \"\\x1B]0;owned\\x07" +
          std::string(190, 'A') + "...\"\n");
}

// Fault caught: the blank line a spreadsheet leaves at the end refused.
TEST(ImportTest, BlankLinesMayEndTheCsv) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "edited.csv", kHeader + kGoodLine + "\r\n\r\n");
  const ToolResult imported = folder.Run({"import", "edited.csv", "-o", "radar.lzw"});
  EXPECT_EQ(imported.status, 0) << imported.err;
  const ToolResult exported = folder.Run({"export", "radar.lzw", "-o", "-"});
  EXPECT_EQ(exported.out, kHeader + kGoodLine);
}

TEST(ImportTest, MissingCsvIsReported) {
  ToolFolder folder;
  const ToolResult result = folder.Run({"import", "absent.csv", "-o", "radar.lzw"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "kestrolan-db import: cannot open 'absent.csv': No such file or directory\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{});
}

}  // namespace
