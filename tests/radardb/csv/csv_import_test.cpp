#include "radardb/csv/csv_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/csv/csv_export.h"
#include "radardb/csv/csv_import.h"
#include "radardb/csv/csv_reader.h"
#include "radardb/records/byte_stream.h"
#include "radardb/records/radar_record.h"

using namespace radardb;

namespace {

using Records = std::vector<std::vector<std::string>>;

const std::string kHeader = "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n";
// The worked example record: SS 18, MS 52, LS 60, X 1234, Y 5678, sc 3, mph 1, spd 50, dir 0.
constexpr char kGoodLine[] = "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,A7,Lyon\r\n";

struct ReaderCase {
  const char* fault;
  std::string text;
  Records records;
};

// Test names show the fault a case would catch.
void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.fault; }

class CsvReaderTest : public testing::TestWithParam<ReaderCase> {};

TEST_P(CsvReaderTest, SplitsRecordsAndFields) {
  CsvReader reader(GetParam().text);
  Records records;
  std::vector<std::string> fields;
  CsvReader::Result result;
  while ((result = reader.Next(fields)) == CsvReader::Result::kRecord) records.push_back(fields);
  EXPECT_EQ(result, CsvReader::Result::kEnd) << reader.error();
  EXPECT_EQ(records, GetParam().records) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, CsvReaderTest,
    testing::Values(
        ReaderCase{"empty text giving a record", "", {}},
        ReaderCase{"CR kept in the last field", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        ReaderCase{"bare LF line ends refused", "a,b\nc\n", {{"a", "b"}, {"c"}}},
        ReaderCase{"last line without line end lost", "a\r\nb", {{"a"}, {"b"}}},
        ReaderCase{"empty fields dropped", ",,\r\n", {{"", "", ""}}},
        ReaderCase{"quoted comma splitting", "\"a,b\",c\r\n", {{"a,b", "c"}}},
        ReaderCase{"doubled quote kept double", "\"say \"\"hi\"\"\"\r\n", {{"say \"hi\""}}},
        ReaderCase{"quoted line ends ending the record",
                   "\"a\r\nb\",\"\n\"\r\nz\r\n",
                   {{"a\r\nb", "\n"}, {"z"}}},
        ReaderCase{"empty quoted field", "\"\",x\r\n", {{"", "x"}}},
        ReaderCase{"quote inside a bare field", "ab\"c,d\r\n", {{"ab\"c", "d"}}},
        ReaderCase{"high bytes altered", "\xE9\xFF,\"\x80\"\r\n", {{"\xE9\xFF", "\x80"}}}));

struct ReaderErrorCase {
  const char* fault;
  std::string text;
  std::size_t line;
  std::string error;
};

// Test names show the fault a case would catch.
void PrintTo(const ReaderErrorCase& c, std::ostream* os) { *os << c.fault; }

class CsvReaderErrorTest : public testing::TestWithParam<ReaderErrorCase> {};

TEST_P(CsvReaderErrorTest, ReportsMalformedRecordAtItsFirstLine) {
  CsvReader reader(GetParam().text);
  std::vector<std::string> fields;
  CsvReader::Result result;
  while ((result = reader.Next(fields)) == CsvReader::Result::kRecord) {
  }
  EXPECT_EQ(result, CsvReader::Result::kError) << GetParam().fault;
  EXPECT_EQ(reader.line(), GetParam().line) << GetParam().fault;
  EXPECT_EQ(reader.error(), GetParam().error) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, CsvReaderErrorTest,
    testing::Values(ReaderErrorCase{"unclosed quote accepted", "a\r\nb\r\n\"c,d\r\n", 3,
                                    "a quoted field is not closed"},
                    ReaderErrorCase{"text after a closing quote accepted", "a\r\n\"b\"c,d\r\n", 2,
                                    "a closing quote must be followed by a comma or the line end"},
                    ReaderErrorCase{
                        "line count not advanced inside quotes", "\"a\nb\nc\"\r\n\"x\"y\r\n", 4,
                        "a closing quote must be followed by a comma or the line end"}));

// Fault caught: the fields of a hostile line all kept before its field count is checked.
TEST(CsvReaderLimitTest, RefusesALineAsSoonAsItHasTooManyFields) {
  const std::string text = "a,b\r\n,\r\na,b,c" + std::string(1000, ',');
  CsvReader reader(text, 2);
  std::vector<std::string> fields;
  EXPECT_EQ(reader.Next(fields), CsvReader::Result::kRecord);
  EXPECT_EQ(reader.Next(fields), CsvReader::Result::kRecord);
  EXPECT_EQ(reader.Next(fields), CsvReader::Result::kError);
  EXPECT_EQ(reader.line(), 3u);
  EXPECT_EQ(reader.error(), "expected 2 fields, found more");
  EXPECT_EQ(fields, (std::vector<std::string>{"a", "b"}));
}

TEST(RawDirectionForTest, GivesTheSmallestRawValueOfEveryAngle) {
  for (std::uint32_t raw = 0; raw < kDirectionCount; ++raw) {
    const std::int32_t degrees = DecodeDirection(raw);
    const std::optional<std::uint32_t> found = RawDirectionFor(degrees);
    ASSERT_TRUE(found.has_value()) << raw;
    EXPECT_EQ(DecodeDirection(*found), degrees) << raw;
    EXPECT_LE(*found, raw) << raw;
  }
  EXPECT_EQ(RawDirectionFor(360), std::optional<std::uint32_t>(kFullCircleDirection));
  EXPECT_EQ(RawDirectionFor(-180), std::optional<std::uint32_t>(0));
}

TEST(RawDirectionForTest, AnglesNoRecordHoldsHaveNone) {
  for (const std::int32_t degrees : {-181, 290, 300, 359, 361, 1000}) {
    EXPECT_EQ(RawDirectionFor(degrees), std::nullopt) << degrees;
  }
}

struct ImportErrorCase {
  const char* fault;
  std::string csv;
  std::string error;
};

// Test names show the fault a case would catch.
void PrintTo(const ImportErrorCase& c, std::ostream* os) { *os << c.fault; }

class CsvImportErrorTest : public testing::TestWithParam<ImportErrorCase> {};

TEST_P(CsvImportErrorTest, NamesTheLineAndTheReason) {
  std::string records;
  EXPECT_EQ(CsvToRecords(GetParam().csv, records).message(), GetParam().error) << GetParam().fault;
}

const std::string kGood = kGoodLine;

INSTANTIATE_TEST_SUITE_P(
    BadLines, CsvImportErrorTest,
    testing::Values(
        ImportErrorCase{"empty file taken as a database", "", "line 1: the header line is missing"},
        ImportErrorCase{"foreign header accepted",
                        "SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n",
                        "line 1: the header line must be "
                        "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City"},
        ImportErrorCase{
            "extra field ignored",
            kHeader + kGood + "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,A7,Lyon,x\r\n",
            "line 3: expected 14 fields, found more"},
        ImportErrorCase{"blank line skipped silently", kHeader + kGood + "\r\n" + kGood,
                        "line 3: expected 14 fields, found 1"},
        ImportErrorCase{"a bad line after blank lines reported first",
                        kHeader + kGood + "\r\n\r\n1,2\r\n", "line 3: expected 14 fields, found 1"},
        ImportErrorCase{"LS 65536 wrapped to 0",
                        kHeader + "1090234,561678,18,52,65536,1234,5678,3,1,50,0,,,\r\n",
                        "line 2: LS must be a whole number from 0 to 65535, not \"65536\""},
        ImportErrorCase{"X 65536 wrapped to 0",
                        kHeader + "1090234,561678,18,52,60,65536,5678,3,1,50,0,,,\r\n",
                        "line 2: X must be a whole number from 0 to 65535, not \"65536\""},
        ImportErrorCase{"Y 65536 wrapped to 0",
                        kHeader + "1090234,561678,18,52,60,1234,65536,3,1,50,0,,,\r\n",
                        "line 2: Y must be a whole number from 0 to 65535, not \"65536\""},
        ImportErrorCase{"an escape sequence sent to the terminal",
                        kHeader + "1090234,561678,18,52,60,\x1B[2J,5678,3,1,50,0,,,\r\n",
                        "line 2: X must be a whole number from 0 to 65535, not \"\\x1B[2J\""},
        ImportErrorCase{"a long field echoed whole",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,1,50," +
                            std::string(100'000, '9') + ",,,\r\n",
                        "line 2: dir must be a whole number from -180 to 360, not \"" +
                            std::string(200, '9') + "...\""},
        ImportErrorCase{"byte out of range wrapped",
                        kHeader + "1090234,561678,256,52,60,1234,5678,3,1,50,0,,,\r\n",
                        "line 2: SS must be a whole number from 0 to 255, not \"256\""},
        ImportErrorCase{"trailing junk after a number",
                        kHeader + "1090234,561678,18,52,60,12x,5678,3,1,50,0,,,\r\n",
                        "line 2: X must be a whole number from 0 to 65535, not \"12x\""},
        ImportErrorCase{"empty number taken as zero",
                        kHeader + "1090234,561678,18,52,60,1234,,3,1,50,0,,,\r\n",
                        "line 2: Y must be a whole number from 0 to 65535, not \"\""},
        ImportErrorCase{"subcategory overflowing into mph",
                        kHeader + "1090234,561678,18,52,60,1234,5678,32,1,50,0,,,\r\n",
                        "line 2: subcat must be a whole number from 0 to 31, not \"32\""},
        ImportErrorCase{"mph taking more than one bit",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,2,50,0,,,\r\n",
                        "line 2: mph must be a whole number from 0 to 1, not \"2\""},
        ImportErrorCase{"negative speed wrapped",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,1,-1,0,,,\r\n",
                        "line 2: speed must be a whole number from 0 to 255, not \"-1\""},
        ImportErrorCase{"unreachable direction rounded",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,1,50,300,,,\r\n",
                        "line 2: dir 300 is not a direction a record can hold"},
        ImportErrorCase{"CoordX not checked",
                        kHeader + "1090235,561678,18,52,60,1234,5678,3,1,50,0,,,\r\n",
                        "line 2: CoordX is 1090235 but SS, MS, LS and X give 1090234"},
        ImportErrorCase{"CoordY not checked",
                        kHeader + "1090234,561679,18,52,60,1234,5678,3,1,50,0,,,\r\n",
                        "line 2: CoordY is 561679 but SS, MS, LS and Y give 561678"},
        ImportErrorCase{"text overflowing its field",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,1,50,0," +
                            std::string(42, 's') + ",,\r\n",
                        "line 2: Speed is 42 bytes long, more than the 41 its field holds"},
        ImportErrorCase{"zero byte cutting a text",
                        kHeader + "1090234,561678,18,52,60,1234,5678,3,1,50,0,,," +
                            std::string("a\0b", 3) + "\r\n",
                        "line 2: City holds a zero byte, which would end it early"},
        ImportErrorCase{
            "line number lost after a quoted line end",
            kHeader + "1090234,561678,18,52,60,1234,5678,3,1,50,0,,\"a\r\nb\",\r\n" + "1,2,3\r\n",
            "line 4: expected 14 fields, found 3"}));

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads records as the loader does and writes them as the export does.
std::string RecordsToCsv(const std::string& records) {
  ByteStream stream(records);
  RecordTable rows;
  RadarRecord record;
  for (std::size_t i = 0; i < records.size() / kRadarRecordSize; ++i) {
    EXPECT_TRUE(record.Read(stream));
    rows.Append({static_cast<std::int32_t>(i), record.GetCoordX(), record.GetCoordY(), record.SS,
                 record.MS, record.LS, record.X, record.Y, record.GetSc(), record.GetMph(),
                 record.GetSpd(), record.GetDir()},
                record.SpeedText(), record.RoadText(), record.CityText());
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
  EXPECT_TRUE(WriteCsv(rows, {}, file.get()));
  std::string csv(static_cast<std::size_t>(std::ftell(file.get())), '\0');
  std::rewind(file.get());
  EXPECT_EQ(std::fread(csv.data(), 1, csv.size(), file.get()), csv.size());
  return csv;
}

TEST(CsvImportTest, BuildsTheWorkedExampleBytes) {
  std::string records;
  ASSERT_EQ(CsvToRecords(std::string(kHeader) + kGoodLine, records).message(), "");
  ASSERT_EQ(records.size(), kRadarRecordSize);
  EXPECT_EQ(records.substr(0, 8), std::string("\x12\x34\x00\x3C\x04\xD2\x16\x2E", 8));
  // sc 3, mph 1, spd 50 and D 3125, the smallest raw value that decodes to 0 degrees (the
  // example's own D 3142 decodes to 0 too); the unused low bits are zero.
  EXPECT_EQ(records.substr(8, 4), std::string("\x61\xA9\x94\x60", 4));
  EXPECT_EQ(records.substr(12, 3), std::string("50\0", 3));
  EXPECT_EQ(records.substr(53, 3), std::string("A7\0", 3));
  EXPECT_EQ(records.substr(121, 5), std::string("Lyon\0", 5));
}

TEST(CsvImportTest, ExportImportExportIsTheIdentity) {
  std::string csv = kHeader;
  csv += "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,A7,Lyon\r\n";
  csv += "0,0,0,0,0,0,0,0,0,0,-180,,,\r\n";
  csv +=
      "4095535,599295535,255,255,65535,65535,65535,31,1,255,360,\"a,b\",\"\"\"q\"\"\","
      "\"x\r\ny\"\r\n";
  csv += "1090999,561999,18,52,60,64999,60999,0,0,0,289," + std::string(41, 's') + "," +
         std::string(68, 'r') + "," + std::string(120, '\xE9') + "\r\n";
  csv += "1090234,561678,18,52,60,1234,5678,3,1,50,-179,\xB5,\xC3\xA9,\xFF\r\n";
  std::string records;
  ASSERT_EQ(CsvToRecords(csv, records).message(), "");
  EXPECT_EQ(records.size(), 5 * kRadarRecordSize);
  EXPECT_EQ(RecordsToCsv(records), csv);
}

// Fault caught: the blank lines spreadsheets save at the end refused.
TEST(CsvImportTest, IgnoresBlankLinesAtTheEnd) {
  for (const std::string tail : {"\r\n", "\r\n\r\n\r\n", "\n\n"}) {
    std::string records;
    EXPECT_EQ(CsvToRecords(kHeader + kGoodLine + tail, records).message(), "") << tail.size();
    EXPECT_EQ(RecordsToCsv(records), kHeader + kGoodLine) << tail.size();
  }
  std::string none;
  EXPECT_EQ(CsvToRecords(kHeader + "\r\n", none).message(), "");
  EXPECT_EQ(none, "");
}

TEST(CsvImportTest, SkipsAByteOrderMarkBeforeTheHeader) {
  std::string records;
  ASSERT_EQ(CsvToRecords("\xEF\xBB\xBF" + kHeader + kGoodLine, records).message(), "");
  EXPECT_EQ(RecordsToCsv(records), kHeader + kGoodLine);
}

TEST(CsvImportTest, AcceptsBareLineFeeds) {
  std::string records;
  ASSERT_EQ(CsvToRecords("CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\n"
                         "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,A7,Lyon\n",
                         records)
                .message(),
            "");
  EXPECT_EQ(RecordsToCsv(records), std::string(kHeader) + kGoodLine);
}

}  // namespace
