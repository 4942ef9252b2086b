#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

const std::string kHeader = "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n";

// The worked example record (SS 18, MS 52, LS 60, X 1234, Y 5678, sc 3, mph 1, spd 50, D 3142)
// with the texts "50", "A7, exit 3" and "Lyon", and the line the export writes for it.
std::string ExampleRecord() {
  std::string bytes("\x12\x34\x00\x3C\x04\xD2\x16\x2E\x62\x31\x94\x60", 12);
  const auto field = [](const std::string& text, std::size_t size) {
    return text + std::string(size - text.size(), '\0');
  };
  return bytes + field("50", 41) + field("A7, exit 3", 68) + field("Lyon", 120);
}
const std::string kExampleLine =
    "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,\"A7, exit 3\",Lyon\r\n";

struct NameCase {
  const char* fault;
  std::string archive;
  std::vector<std::string> extraArgs;
  std::string csv;  // where the CSV must appear, relative to the test folder
};

// Test names show the fault a case would catch.
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.fault; }

class ExportNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(ExportNameTest, WritesTheCsvWhereItBelongs) {
  const NameCase& c = GetParam();
  ToolFolder folder;
  std::filesystem::create_directories((folder.path() / c.archive).parent_path());
  WriteFileBytes(folder.path() / c.archive, CompressLzw(ExampleRecord() + ExampleRecord()));
  std::vector<std::string> args = {"export", c.archive};
  args.insert(args.end(), c.extraArgs.begin(), c.extraArgs.end());
  const ToolResult result = folder.Run(args);
  EXPECT_EQ(result.status, 0) << c.fault << ": " << result.err;
  EXPECT_EQ(result.err, "") << c.fault;
  EXPECT_EQ(ReadFileBytes(folder.path() / c.csv), kHeader + kExampleLine + kExampleLine) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportNameTest,
    testing::Values(
        NameCase{"extension not replaced", "radar.lzw", {}, "radar.csv"},
        NameCase{"cut at the first dot", "my.radar.lzw", {}, "my.radar.csv"},
        NameCase{
            "dot of a folder taken for the extension", "maps.v2/radar", {}, "maps.v2/radar.csv"},
        NameCase{"-o ignored", "radar.lzw", {"-o", "all records.csv"}, "all records.csv"}));

TEST(ExportTest, DashWritesToStandardOutput) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(ExampleRecord()));
  const ToolResult result = folder.Run({"export", "-o", "-", "radar.lzw"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kHeader + kExampleLine);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"radar.lzw"});
}

struct FailureCase {
  const char* fault;
  std::string expanded;  // the archive's content; "missing" for no archive at all
  std::string err;
};

// Test names show the fault a case would catch.
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.fault; }

class ExportFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ExportFailureTest, ReportsTheLoadsMessageAndKeepsAnOldCsv) {
  const FailureCase& c = GetParam();
  ToolFolder folder;
  std::vector<std::string> expected = {"radar.csv"};
  if (c.expanded != "missing") {
    WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(c.expanded));
    expected.push_back("radar.lzw");
  }
  WriteFileBytes(folder.path() / "radar.csv", "old export\r\n");
  const ToolResult result = folder.Run({"export", "radar.lzw"});
  EXPECT_EQ(result.status, 1) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
  EXPECT_EQ(result.out, "") << c.fault;
  EXPECT_EQ(ReadFileBytes(folder.path() / "radar.csv"), "old export\r\n") << c.fault;
  EXPECT_EQ(folder.Entries(), expected) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Loads, ExportFailureTest,
                         testing::Values(FailureCase{"missing archive exported", "missing",
                                                     "LZW file not found\n"},
                                         FailureCase{"partial record exported",
                                                     ExampleRecord() + ExampleRecord().substr(0, 1),
                                                     "Database ends inside a record\n"}));

TEST(ExportTest, DamagedArchiveLeavesNothingBehind) {
  ToolFolder folder;
  std::string archive = CompressLzw(ExampleRecord());
  // One byte of the magic number.
  archive[0] = 'X';
  WriteFileBytes(folder.path() / "radar.lzw", archive);
  const ToolResult result = folder.Run({"export", "radar.lzw"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Wrong file format\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"radar.lzw"});
}

// Three records told apart by their road and speed: the worked example (spd 50) and two more.
std::string ThreeRecords() {
  std::string second = ExampleRecord(), third = ExampleRecord();
  second.replace(12 + 41, 10, "B9, exit 1");
  third.replace(12 + 41, 10, "A7, exit 9");
  third.replace(8, 4, "\x62\x33\x24\x60");  // the packed field with speed limit 100, not 50
  return ExampleRecord() + second + third;
}

struct FilterCase {
  const char* fault;
  std::string filter;
  std::vector<int> records;  // which of ThreeRecords' lines, in order
};

// Test names show the fault a case would catch.
void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.fault; }

class ExportFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(ExportFilterTest, WritesTheMatchingRecordsOnly) {
  const FilterCase& c = GetParam();
  ToolFolder folder;
  WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(ThreeRecords()));
  const ToolResult result = folder.Run({"export", "radar.lzw", "--filter", c.filter, "-o", "-"});
  const std::string lines[] = {
      kExampleLine, "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,\"B9, exit 1\",Lyon\r\n",
      "1090234,561678,18,52,60,1234,5678,3,1,100,0,50,\"A7, exit 9\",Lyon\r\n"};
  std::string expected = kHeader;
  for (const int record : c.records) expected += lines[record];
  EXPECT_EQ(result.status, 0) << c.fault << ": " << result.err;
  EXPECT_EQ(result.out, expected) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ExportFilterTest,
    testing::Values(FilterCase{"filter ignored", "road:a7", {0, 2}},
                    FilterCase{"numeric term ignored", "spd>=100", {2}},
                    FilterCase{"negation ignored", "-\"exit 3\"", {1, 2}},
                    FilterCase{"no match writes every record", "Paris", {}},
                    FilterCase{"near: radius not inclusive", "near:1090234,561680,2", {0, 1, 2}},
                    FilterCase{"near: beyond its radius", "near:1090234,561680,1", {}},
                    FilterCase{"empty expression drops records", "", {0, 1, 2}}));

// Faults caught: the tool's unpack or export giving other bytes on one thread than on four.
TEST(ExportTest, SameBytesOnOneThreadAndOnFour) {
  ToolFolder folder;
  std::string records;
  for (int i = 0; i < 4000; ++i) records += ThreeRecords();
  WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(records));
  std::string outputs[2][2];
  for (const int threads : {1, 4}) {
    const std::string setup = "KESTROLAN_THREADS=" + std::to_string(threads);
    const ToolResult unpacked = folder.Run({"unpack", "radar.lzw", "-o", "-"}, setup);
    const ToolResult exported = folder.Run({"export", "radar.lzw", "-o", "-"}, setup);
    EXPECT_EQ(unpacked.status, 0) << unpacked.err;
    EXPECT_EQ(exported.status, 0) << exported.err;
    outputs[threads == 4][0] = unpacked.out;
    outputs[threads == 4][1] = exported.out;
  }
  EXPECT_EQ(outputs[0][0], records);
  EXPECT_EQ(outputs[1][0], records);
  EXPECT_EQ(outputs[1][1], outputs[0][1]);
  const std::string lastLine =
      "1090234,561678,18,52,60,1234,5678,3,1,100,0,50,\"A7, exit 9\",Lyon\r\n";
  EXPECT_EQ(outputs[0][1].substr(outputs[0][1].size() - lastLine.size()), lastLine);
}

TEST(ExportTest, InvalidFilterWritesNothingAndSaysWhy) {
  ToolFolder folder;
  WriteFileBytes(folder.path() / "radar.lzw", CompressLzw(ExampleRecord()));
  const ToolResult result = folder.Run({"export", "radar.lzw", "--filter", "spd>=fast"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "kestrolan-db export: --filter: bad number 'fast' in 'spd>=fast'\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"radar.lzw"});
}

}  // namespace
