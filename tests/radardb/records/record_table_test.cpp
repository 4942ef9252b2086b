#include "radardb/records/record_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace radardb;

namespace {

RecordTable::Ints IntsFrom(int first) {
  RecordTable::Ints ints{};
  for (int i = 0; i < kIntColumnCount; ++i) ints[i] = first + i;
  return ints;
}

TEST(RecordTableTest, KeepsEachRowsIntegersAndTextsApart) {
  RecordTable table;
  table.Append(IntsFrom(0), "50", "A1, north", "Lyon");
  table.Append(IntsFrom(-100), "", std::string("r\0ad", 4), "\xe9vry");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.Int(0, Column::kIndex), 0);
  EXPECT_EQ(table.Int(0, Column::kDir), 11);
  EXPECT_EQ(table.Int(1, Column::kIndex), -100);
  EXPECT_EQ(table.Int(1, Column::kDir), -89);
  EXPECT_EQ(table.Text(0, Column::kSpeed), "50");
  EXPECT_EQ(table.Text(0, Column::kRoad), "A1, north");
  EXPECT_EQ(table.Text(0, Column::kCity), "Lyon");
  EXPECT_EQ(table.Text(1, Column::kSpeed), "");
  EXPECT_EQ(table.Text(1, Column::kRoad), std::string_view("r\0ad", 4));
  EXPECT_EQ(table.Text(1, Column::kCity), "\xe9vry");
}

TEST(RecordTableTest, LongestRecordTextsSurviveWhole) {
  RecordTable table;
  const std::string speed(41, 's'), road(68, 'r'), city(120, 'c');
  table.Append(IntsFrom(1), speed, road, city);
  EXPECT_EQ(table.Text(0, Column::kSpeed), speed);
  EXPECT_EQ(table.Text(0, Column::kRoad), road);
  EXPECT_EQ(table.Text(0, Column::kCity), city);
}

TEST(RecordTableTest, TextsLongerThanAFieldAreCutToTheLongestAllowed) {
  RecordTable table;
  const std::string longest(RecordTable::kMaxTextLength, 'x');
  table.Append(IntsFrom(1), longest + "yz", "", std::string(300, 'c'));
  table.Append(IntsFrom(2), "next", "", "");
  EXPECT_EQ(table.Text(0, Column::kSpeed), longest);
  EXPECT_EQ(table.Text(0, Column::kCity), std::string(RecordTable::kMaxTextLength, 'c'));
  EXPECT_EQ(table.Text(1, Column::kSpeed), "next");
}

// Rows and texts outgrow the ordinary allocations into large-page blocks and are moved along:
// every row must still read back its own integers and texts.
TEST(RecordTableTest, RowsSurviveGrowingIntoLargePages) {
  RecordTable table;
  constexpr int kRows = 120'000;  // about 7 MiB of rows and 2 MiB of texts
  for (int i = 0; i < kRows; ++i) {
    table.Append(IntsFrom(i), std::to_string(i), i % 3 == 0 ? "" : "road", std::to_string(-i));
  }
  ASSERT_EQ(table.size(), std::size_t{kRows});
  for (int i = 0; i < kRows; i += 997) {
    EXPECT_EQ(table.Int(i, Column::kDir), i + 11);
    EXPECT_EQ(table.Text(i, Column::kSpeed), std::to_string(i));
    EXPECT_EQ(table.Text(i, Column::kRoad), i % 3 == 0 ? "" : "road");
    EXPECT_EQ(table.Text(i, Column::kCity), std::to_string(-i));
  }
}

TEST(RecordTableTest, ClearEmptiesRowsAndTexts) {
  RecordTable table;
  table.Append(IntsFrom(1), "a", "b", "c");
  table.Clear();
  EXPECT_TRUE(table.empty());
  table.Append(IntsFrom(7), "x", "y", "z");
  EXPECT_EQ(table.Int(0, Column::kIndex), 7);
  EXPECT_EQ(table.Text(0, Column::kCity), "z");
}

// Rows taken out and put back stand where they stood with their texts; texts set later live
// apart, so the loaded texts' arena does not grow; a few rows put in do not double the room.
TEST(RecordTableTest, RowsTakenOutComeBackWhereTheyStood) {
  RecordTable table;
  for (int i = 0; i < 1000; ++i) table.Append(IntsFrom(i), std::to_string(i), "r", "c");
  const std::size_t loaded = table.CapacityBytes();
  const std::vector<std::uint32_t> positions = {0, 5, 999};
  const RecordTable::PlacedRows taken = table.Take(positions);
  ASSERT_EQ(table.size(), 997u);
  EXPECT_EQ(table.Int(4, Column::kIndex), 6);
  table.SetTexts(4, "new speed", "", "city");
  table.PutBack(taken);
  ASSERT_EQ(table.size(), 1000u);
  for (const int i : {0, 5, 6, 999}) EXPECT_EQ(table.Int(i, Column::kIndex), i);
  EXPECT_EQ(table.Text(999, Column::kSpeed), "999");
  EXPECT_EQ(table.Text(6, Column::kSpeed), "new speed");
  EXPECT_EQ(table.RowTexts(6), "new speedcity");
  table.PutBack({{1000, table.Stored(0)}});
  EXPECT_EQ(table.Text(1000, Column::kSpeed), "0");
  EXPECT_LT(table.CapacityBytes(), loaded + loaded / 8);
}

}  // namespace
