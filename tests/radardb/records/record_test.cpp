#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

#include "radardb/records/byte_stream.h"
#include "radardb/records/radar_record.h"

using namespace radardb;

namespace {

// The worked example: SS 18, MS 52, LS 60, X 1234, Y 5678, sc 3, mph 1, spd 50, D 3142.
const std::string kExampleHead("\x12\x34\x00\x3C\x04\xD2\x16\x2E\x62\x31\x94\x60", 12);

std::string RecordBytes(const std::string& head, const std::string& speed, const std::string& road,
                        const std::string& city) {
  std::string bytes = head;
  bytes += speed + std::string(kSpeedFieldSize - speed.size(), '\0');
  bytes += road + std::string(kRoadFieldSize - road.size(), '\0');
  bytes += city + std::string(kCityFieldSize - city.size(), '\0');
  return bytes;
}

std::string HeadWithPacked(std::uint32_t packed) {
  std::string head = kExampleHead.substr(0, 8);
  for (int shift = 24; shift >= 0; shift -= 8) head.push_back(static_cast<char>(packed >> shift));
  return head;
}

TEST(RadarRecordTest, DecodesTheWorkedExample) {
  const std::string bytes = RecordBytes(kExampleHead, "50", "A7", "Lyon");
  ByteStream stream(bytes);
  RadarRecord record;
  ASSERT_TRUE(record.Read(stream));
  EXPECT_EQ(record.SS, 18);
  EXPECT_EQ(record.MS, 52);
  EXPECT_EQ(record.LS, 60);
  EXPECT_EQ(record.X, 1234);
  EXPECT_EQ(record.Y, 5678);
  EXPECT_EQ(record.GetSc(), 3);
  EXPECT_EQ(record.GetMph(), 1);
  EXPECT_EQ(record.GetSpd(), 50);
  EXPECT_EQ(record.packed >> kDirectionShift, 3142u);
  EXPECT_EQ(record.GetCoordX(), 1090234);
  EXPECT_EQ(record.GetCoordY(), 561678);
  EXPECT_EQ(record.GetDir(), 0);
  EXPECT_EQ(record.SpeedText(), "50");
  EXPECT_EQ(record.RoadText(), "A7");
  EXPECT_EQ(record.CityText(), "Lyon");
}

struct DirectionCase {
  const char* fault;
  std::uint32_t raw;
  std::int32_t degrees;
};

// Test names show the fault a case would catch.
void PrintTo(const DirectionCase& c, std::ostream* os) { *os << c.fault; }

class DirectionTest : public testing::TestWithParam<DirectionCase> {};

TEST_P(DirectionTest, DecodesInDoublePrecisionTruncatingTowardZero) {
  EXPECT_EQ(DecodeDirection(GetParam().raw), GetParam().degrees) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectionTest,
    testing::Values(DirectionCase{"lower end off by one", 0, -180},
                    DirectionCase{"floor instead of truncation toward zero", 1, -179},
                    DirectionCase{"float instead of double, or a rounding", 100, -174},
                    DirectionCase{"rounding instead of truncation", 6283, 179},
                    DirectionCase{"180 missed", 6284, 180},
                    DirectionCase{"special value leaking to its neighbour below", 8160, 287},
                    DirectionCase{"360 special case missing", 8161, 360},
                    DirectionCase{"special value leaking to its neighbour above", 8162, 287},
                    DirectionCase{"upper end of the 13 bits", 8191, 289}));

TEST(RadarRecordTest, Direction8161GivesFullCircleWhateverTheOtherBits) {
  for (const std::uint32_t low : {0x00000000u, 0x0000FFFFu, 0x0007FFFFu}) {
    const std::string bytes = RecordBytes(HeadWithPacked(0xFF080000u | low), "", "", "");
    ByteStream stream(bytes);
    RadarRecord record;
    ASSERT_TRUE(record.Read(stream));
    EXPECT_EQ(record.GetDir(), 360) << std::hex << low;
  }
}

struct TextCase {
  const char* fault;
  std::string speed, road, city;
  std::size_t speedLength, roadLength, cityLength;
};

// Test names show the fault a case would catch.
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.fault; }

class TextFieldTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextFieldTest, TextEndsAtFirstZeroOrAtFieldEnd) {
  const TextCase& c = GetParam();
  const std::string bytes = RecordBytes(kExampleHead, c.speed, c.road, c.city);
  ByteStream stream(bytes);
  RadarRecord record;
  ASSERT_TRUE(record.Read(stream));
  EXPECT_EQ(record.SpeedText().size(), c.speedLength) << c.fault;
  EXPECT_EQ(record.RoadText().size(), c.roadLength) << c.fault;
  EXPECT_EQ(record.CityText().size(), c.cityLength) << c.fault;
  EXPECT_EQ(record.SpeedText(), c.speed.substr(0, c.speedLength)) << c.fault;
  EXPECT_EQ(record.CityText(), c.city.substr(0, c.cityLength)) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TextFieldTest,
    testing::Values(TextCase{"a leading zero not taken as empty", "", "", "", 0, 0, 0},
                    TextCase{"last byte of a full field lost", std::string(40, 's'),
                             std::string(67, 'r'), std::string(119, 'c'), 40, 67, 119},
                    TextCase{"a field without zero running into the next one", std::string(41, 's'),
                             std::string(68, 'r'), std::string(120, 'c'), 41, 68, 120},
                    TextCase{"text after the first zero kept", std::string("ab\0cd", 5),
                             std::string("x\0y", 3), std::string("\0z", 2), 2, 1, 0},
                    TextCase{"bytes above 0x7F converted", "\xB5\xFF", "\xC3\xA9", "\x80", 2, 2,
                             1}));

TEST(RadarRecordTest, ShortStreamFailsAtEveryCut) {
  const std::string bytes = RecordBytes(kExampleHead, "50", "A7", "Lyon");
  // Cuts inside every field, at every field boundary and one byte short of the end.
  for (const std::size_t length : {0, 1, 2, 3, 5, 7, 8, 10, 11, 12, 30, 52, 53, 100, 121, 240}) {
    ByteStream stream(std::string_view(bytes).substr(0, length));
    RadarRecord record;
    EXPECT_FALSE(record.Read(stream)) << length;
    EXPECT_TRUE(stream.IsError()) << length;
  }
}

TEST(RadarRecordTest, AppendToWritesWhatReadReads) {
  const std::string bytes = RecordBytes(kExampleHead, std::string(41, 'S'), "Rue \"A\", 3",
                                        std::string("\xE9vry\0junk", 9));
  ByteStream stream(bytes);
  RadarRecord record;
  ASSERT_TRUE(record.Read(stream));
  std::string written;
  record.AppendTo(written);
  EXPECT_EQ(written, bytes);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

TEST(ByteStreamTest, FileReadsCrossBufferRefills) {
  std::string bytes;
  for (int i = 0; i < 3; ++i) bytes += RecordBytes(kExampleHead, std::to_string(50 + i), "", "");
  std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
  std::rewind(file.get());
  // A 7-byte buffer splits numbers and texts across refills.
  ByteStream stream(file.get(), 7);
  RadarRecord record;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(record.Read(stream)) << i;
    EXPECT_EQ(record.GetCoordX(), 1090234) << i;
    EXPECT_EQ(record.SpeedText(), std::to_string(50 + i));
  }
  EXPECT_FALSE(record.Read(stream));
  EXPECT_TRUE(stream.IsError());
}

TEST(ByteStreamTest, ErrorStaysSetAfterReadPastEnd) {
  ByteStream stream(std::string_view("\x01\x02\x03", 3));
  EXPECT_EQ(stream.ReadU16BE(), 0x0102);
  EXPECT_FALSE(stream.IsError());
  stream.ReadU16BE();
  EXPECT_TRUE(stream.IsError());
  EXPECT_EQ(stream.ReadU8(), 0);
  EXPECT_TRUE(stream.IsError());
}

}  // namespace
