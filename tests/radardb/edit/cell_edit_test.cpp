#include "radardb/edit/cell_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "radardb/records/radar_record.h"

using namespace radardb;

namespace {

// One row: SS 0x12, MS 0x34, LS 60, X 1234, Y 5678 (CoordX 1090234, CoordY 561678); a UTF-8
// Speed, a Windows-1252 Road ("Stra\xDF" + "e") and an empty City.
RecordTable OneRow(std::int32_t ls = 60, std::int32_t x = 1234) {
  RecordTable table;
  RadarRecord record;
  record.SS = 0x12;
  record.MS = 0x34;
  record.LS = static_cast<std::uint16_t>(ls);
  record.X = static_cast<std::uint16_t>(x);
  record.Y = 5678;
  table.Append({0, record.GetCoordX(), record.GetCoordY(), 0x12, 0x34, ls, x, 5678, 3, 1, 50, 0},
               "\xC3\xA9t\xC3\xA9",
               "Stra\xDF"
               "e",
               "");
  return table;
}

struct RefusalCase {
  const char* name;
  Column column;
  const char* input;
  const char* reason;
};

class RefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, SaysWhy) {
  const RefusalCase& c = GetParam();
  const RecordTable table =
      OneRow(c.column == Column::kCoordX ? 65530 : 60, c.column == Column::kCoordX ? 65000 : 1234);
  CellEdit edit;
  const Status status = EditCell(table, 0, c.column, c.input, edit);
  EXPECT_EQ(status.code(), platform::StatusCode::kInvalidArgument);
  EXPECT_EQ(status.message(), c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusalTest,
    testing::Values(
        RefusalCase{"Index", Column::kIndex, "3",
                    "# is the record's place in the file and cannot be edited"},
        RefusalCase{"SsTooLarge", Column::kSS, "256", "SS must be a whole number from 0 to 255"},
        RefusalCase{"LsNegative", Column::kLS, "-1", "LS must be a whole number from 0 to 65535"},
        RefusalCase{"ScTooLarge", Column::kSc, "32", "sc must be a whole number from 0 to 31"},
        RefusalCase{"MphTwo", Column::kMph, "2", "mph must be a whole number from 0 to 1"},
        RefusalCase{"SpdWord", Column::kSpd, "seventy", "spd must be a whole number from 0 to 255"},
        RefusalCase{"SpdFraction", Column::kSpd, "7.5", "spd must be a whole number from 0 to 255"},
        RefusalCase{"DirTooLarge", Column::kDir, "290",
                    "dir must be a whole number from -180 to 289, or 360"},
        // LS 65530 leaves room for 7 of the column's 28 (65520 + 15 at most): squares up to 4095.
        RefusalCase{"CoordXSquare", Column::kCoordX, "4096000",
                    "CoordX must be a whole number from 0 to 4095999"},
        RefusalCase{"CoordXPosition", Column::kCoordX, "1999",
                    "CoordX must end in at most 535 for this record, whose X is 65000"},
        RefusalCase{"SpeedTooWide", Column::kSpeed, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                    "Speed holds at most 40 bytes besides its ending zero; this text needs 41"},
        RefusalCase{"RoadNotInCodePage", Column::kRoad, "\xE2\x82\xAC\xE2\x86\x92",
                    "Road is written in Windows-1252, which has no \"\xE2\x86\x92\""},
        RefusalCase{"RoadReadsAsUtf8", Column::kRoad, "\xC3\x83\xC2\xA9",
                    "Road is written in Windows-1252, and these characters would read back as "
                    "other ones"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(CellEditTest, CoordinatesGoIntoTheirPartsOnly) {
  const RecordTable table = OneRow();
  CellEdit edit;
  ASSERT_TRUE(EditCell(table, 0, Column::kCoordX, "5123042", edit).ok());
  // Square 5123 = 20 * 256 + 0 * 16 + 3: LS 60 div 28 = 2 kept, 2 * 28 + 20; nibbles of MS, SS.
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kLS)], 76);
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kMS)], 0x30);
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kSS)], 0x13);
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kX)], 1042);
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kCoordX)], 5123042);
  EXPECT_EQ(edit.ints[static_cast<int>(Column::kCoordY)], 561678);
  EXPECT_EQ(edit.fields, kEditedSS | kEditedMS | kEditedLS | kEditedX);
}

TEST(CellEditTest, TextsKeepTheirFieldsEncoding) {
  const RecordTable table = OneRow();
  CellEdit edit;
  ASSERT_TRUE(EditCell(table, 0, Column::kRoad,
                       "Gr\xC3\xBC\xC3\x9F"
                       "e",
                       edit)
                  .ok());
  EXPECT_EQ(edit.texts[1],
            "Gr\xFC\xDF"
            "e");
  ASSERT_TRUE(EditCell(table, 0, Column::kSpeed, "\xE2\x82\xAC", edit).ok());
  EXPECT_EQ(edit.texts[0], "\xE2\x82\xAC");
}

struct DirectionCase {
  std::int32_t degrees;
  std::int32_t raw;
};

TEST(CellEditTest, DirectionIsTheSmallestRawThatDecodesToIt) {
  for (const DirectionCase c :
       {DirectionCase{-180, 0}, DirectionCase{-179, 1}, DirectionCase{0, 3125},
        DirectionCase{289, 8186}, DirectionCase{360, 8161}, DirectionCase{290, -1}}) {
    EXPECT_EQ(SmallestRawDirection(c.degrees), c.raw) << c.degrees;
    if (c.raw >= 0) {
      EXPECT_EQ(DecodeDirection(static_cast<std::uint32_t>(c.raw)), c.degrees);
      if (c.raw > 0) {
        EXPECT_NE(DecodeDirection(static_cast<std::uint32_t>(c.raw) - 1), c.degrees);
      }
    }
  }
}

}  // namespace
