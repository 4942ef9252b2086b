#include "radardb/compare/database_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/radardb/compare/small_tables.h"

using namespace radardb;

namespace {

// "RECORD KIND[ FIELD][ VALUE][<OTHER]" per finding, in the report's order, joined by ", ".
std::string Describe(std::vector<Finding> findings) {
  std::sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.record, a.kind, a.field) < std::tie(b.record, b.kind, b.field);
  });
  std::string text;
  for (const Finding& f : findings) {
    if (!text.empty()) text += ", ";
    text += std::to_string(f.record) + " " + std::string(FindingWord(f.kind));
    if (f.kind == FindingKind::kCutText || f.kind == FindingKind::kControlCharacter) {
      text += " " + std::to_string(f.field);
    }
    if (f.value != 0) text += " " + std::to_string(f.value);
    if (f.other != kNoOtherRecord) text += "<" + std::to_string(f.other);
  }
  return text;
}

struct RepeatCase {
  const char* fault;
  std::vector<Rec> records;
  std::string expected;
};

// Test names show the fault a case would catch.
void PrintTo(const RepeatCase& c, std::ostream* os) { *os << c.fault; }

class RepeatedRecordsTest : public testing::TestWithParam<RepeatCase> {};

TEST_P(RepeatedRecordsTest, FindsEachRepeatOnce) {
  std::vector<Finding> findings;
  FindRepeatedRecords(Table(GetParam().records), kDefaultTolerance, findings);
  EXPECT_EQ(Describe(findings), GetParam().expected) << GetParam().fault;
}

const Rec kA{5000, 7000};
const Rec kA90{5000, 7000, 0, 1, 90};

INSTANTIATE_TEST_SUITE_P(
    Kinds, RepeatedRecordsTest,
    testing::Values(
        RepeatCase{"copies not pointed at the first copy",
                   {kA, {9000, 9000}, kA, kA},
                   "2 duplicate<0, 3 duplicate<0"},
        RepeatCase{"disagreeing records on one spot missed", {kA, kA90}, "1 conflict<0"},
        RepeatCase{
            "a copy reported as a conflict too", {kA, kA90, kA90}, "1 conflict<0, 2 duplicate<1"},
        RepeatCase{"opposite directions on one position reported", {kA, {5000, 7000, 180}}, ""},
        RepeatCase{
            "close directions on one position missed", {kA, {5000, 7000, 5}}, "1 near-duplicate<0"},
        RepeatCase{"nearest earlier record not named",
                   {kA, {5020, 7000}, {5012, 7000}},
                   "1 near-duplicate<0, 2 near-duplicate<1"},
        RepeatCase{"equal distance not given to the lowest index",
                   {{4990, 7000}, {5010, 7000}, kA},
                   "1 near-duplicate<0, 2 near-duplicate<0"},
        RepeatCase{"another category taken for a near-duplicate", {kA, {5010, 7000, 0, 2}}, ""},
        RepeatCase{"record beyond the tolerance taken", {kA, {5026, 7000}}, ""},
        RepeatCase{"360 not taken as any direction",
                   {{5000, 7000, 90}, {5010, 7000, 360}},
                   "1 near-duplicate<0"},
        RepeatCase{"360 taken as any direction only when searching",
                   {{5000, 7000, 360}, {5010, 7000, 90}},
                   "1 near-duplicate<0"},
        RepeatCase{"a conflict named after the wrong first row",
                   {{5000, 7000, 0, 2}, {5000, 7000, 0, 1}},
                   "1 conflict<0"}));

struct BytesCase {
  const char* fault;
  std::string speed, road, city;  // copied into the fields, cut at their width
  std::uint32_t packed;
  std::string expected;
};

// Test names show the fault a case would catch.
void PrintTo(const BytesCase& c, std::ostream* os) { *os << c.fault; }

class RecordBytesTest : public testing::TestWithParam<BytesCase> {};

TEST_P(RecordBytesTest, ReportsDamagedFields) {
  const BytesCase& c = GetParam();
  RadarRecord record;
  c.speed.copy(record.Speed, kSpeedFieldSize);
  c.road.copy(record.Road, kRoadFieldSize);
  c.city.copy(record.City, kCityFieldSize);
  record.packed = c.packed;
  std::vector<Finding> findings;
  CheckRecordBytes(record, 7, findings);
  EXPECT_EQ(Describe(findings), c.expected) << c.fault;
}

const std::uint32_t kCleanPacked = 3142u << 19 | 50u << 11 | 1u << 5;

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecordBytesTest,
    testing::Values(BytesCase{"clean record reported", "50", "A1", "Lyon", kCleanPacked, ""},
                    BytesCase{"field without a zero byte missed", "50",
                              std::string(kRoadFieldSize, 'r'), "Lyon", kCleanPacked,
                              "7 cut-text 1"},
                    BytesCase{"tab in a text missed", "50", "A1", "Ly\ton\x01", kCleanPacked,
                              "7 control-character 2 9"},
                    BytesCase{"delete in a text missed", "5\x7F", "A1", "Lyon", kCleanPacked,
                              "7 control-character 0 127"},
                    BytesCase{"bytes after the text's end taken for text",
                              std::string("50\0\x01", 4), "A1", "Lyon", kCleanPacked, ""},
                    BytesCase{"unused bits missed", "50", "A1", "Lyon", kCleanPacked | 0x13,
                              "7 unused-bits 19"}));

}  // namespace

// Thousands of distinct records within one cell: without a bound every search would examine all
// of them.
TEST(RepeatedRecordsTest, GivesUpOnRecordsCrowdedBeyondAnyDatabase) {
  std::vector<Rec> crowd;
  for (int i = 0; i < 2000; ++i) crowd.push_back({i % 50, i / 50});
  std::vector<Finding> findings;
  EXPECT_EQ(FindRepeatedRecords(Table(crowd), kMaxTolerance, findings).message(),
            kTooCrowdedToCheck);
}
