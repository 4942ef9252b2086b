#include "radardb/records/record_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "radardb/records/load_database.h"
#include "tests/support/scratch_folder.h"

using namespace radardb;

namespace {

// A record whose fields all depend on `i`, texts of varying length included.
RadarRecord Record(int i) {
  RadarRecord record;
  record.SS = static_cast<std::uint8_t>(i);
  record.MS = static_cast<std::uint8_t>(i * 7);
  record.LS = static_cast<std::uint16_t>(i * 1000);
  record.X = static_cast<std::uint16_t>(i * 13);
  record.Y = static_cast<std::uint16_t>(i * 17);
  record.packed = static_cast<std::uint32_t>(i) * 2654435761u;
  std::to_string(i * 10).copy(record.Speed, kSpeedFieldSize);
  std::string(static_cast<std::size_t>(i % kRoadFieldSize), 'r').copy(record.Road, kRoadFieldSize);
  std::string("city ").append(std::to_string(i)).copy(record.City, kCityFieldSize);
  return record;
}

std::string Records(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) Record(i).AppendTo(bytes);
  return bytes;
}

class ReadArchiveRowsTest : public testing::Test {
 protected:
  std::string Archive(const std::string& expanded) {
    const std::string path = scratch_ / "radar.lzw";
    WriteFileBytes(path, CompressLzw(expanded));
    return path;
  }

  ScratchFolder scratch_;
};

// More than one piece of expanded bytes, so records straddle the hand-over between threads.
TEST_F(ReadArchiveRowsTest, GivesTheLoadersRowsAndEachRawRecord) {
  const int count = 6000;
  const std::string path = Archive(Records(count));
  const LoadOutcome loaded = LoadDatabase(path);
  ASSERT_EQ(loaded.status.message(), "");
  RecordTable rows;
  std::vector<std::uint32_t> packed;
  RowReading reading;
  reading.visit = [&packed](const RadarRecord& record, std::size_t) {
    packed.push_back(record.packed);
  };
  const Status read = ReadArchiveRows(path, rows, reading);
  ASSERT_EQ(read.message(), "");
  ASSERT_EQ(rows.size(), loaded.rows.size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (int c = 0; c < kColumnCount; ++c) {
      const Column column = static_cast<Column>(c);
      if (IsTextColumn(column)) {
        ASSERT_EQ(rows.Text(row, column), loaded.rows.Text(row, column)) << row << " " << c;
      } else {
        ASSERT_EQ(rows.Int(row, column), loaded.rows.Int(row, column)) << row << " " << c;
      }
    }
  }
  ASSERT_EQ(packed.size(), static_cast<std::size_t>(count));
  EXPECT_EQ(packed[count - 1], Record(count - 1).packed);
}

struct FailureCase {
  const char* fault;
  std::string expanded;
  std::string message;
  std::size_t rows;
};

class ReadArchiveFailureTest : public ReadArchiveRowsTest,
                               public testing::WithParamInterface<FailureCase> {};

TEST_P(ReadArchiveFailureTest, CountsBytesAsTheLoaderDoes) {
  RecordTable rows;
  const Status read = ReadArchiveRows(Archive(GetParam().expanded), rows);
  EXPECT_EQ(read.message(), GetParam().message) << GetParam().fault;
  EXPECT_EQ(rows.size(), GetParam().rows) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadArchiveFailureTest,
                         testing::Values(FailureCase{"partial last record accepted",
                                                     Records(2) + "x", kEndsInsideRecord, 0},
                                         FailureCase{"less than a record refused", "short", "", 0},
                                         FailureCase{"empty database refused", "", "", 0}));

TEST(ReadArchiveRowsMissingTest, NamesTheDecompressorsText) {
  RecordTable rows;
  EXPECT_EQ(ReadArchiveRows("no such folder/radar.lzw", rows).message(), "LZW file not found");
}

}  // namespace
