#include "radardb/compare/change_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "radardb/compare/database_diff.h"
#include "radardb/compare/diff_report.h"
#include "radardb/csv/csv_export.h"
#include "radardb/csv/csv_import.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"

using namespace radardb;

namespace {

// A record as the import would build it (smallest raw direction, texts zero-padded), so that one
// rebuilt from its CSV fields has the same bytes.
RadarRecord MakeRecord(int x, int y, int speed, int dir, const std::string& city) {
  RadarRecord record;
  record.LS = static_cast<std::uint16_t>(x / 1000 % 28 + y / 1000 % 28 * 28);
  record.X = static_cast<std::uint16_t>(x % 1000);
  record.Y = static_cast<std::uint16_t>(y % 1000);
  record.packed = *RawDirectionFor(dir) << kDirectionShift |
                  static_cast<std::uint32_t>(speed) << kSpeedShift | 1u << kSubcatShift;
  std::to_string(speed).copy(record.Speed, kSpeedFieldSize);
  city.copy(record.City, kCityFieldSize);
  return record;
}

std::string Bytes(const std::vector<RadarRecord>& records) {
  std::string bytes;
  for (const RadarRecord& record : records) record.AppendTo(bytes);
  return bytes;
}

RecordTable Rows(const std::string& bytes) {
  RecordTable rows;
  RecordParser parser(rows);
  parser.Expect(bytes.size());
  parser.Write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  return rows;
}

// The change list diff writes from `old` to `now`.
std::string ChangeListOf(const std::string& old, const std::string& now) {
  const RecordTable oldRows = Rows(old);
  const RecordTable newRows = Rows(now);
  const DatabaseDiff diff = CompareDatabases(oldRows, newRows);
  EXPECT_TRUE(diff.status.ok());
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), std::fclose);
  EXPECT_TRUE(WriteDiffCsv(oldRows, newRows, diff, file.get()));
  std::rewind(file.get());
  std::string csv;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    csv.append(buffer, n);
  }
  return csv;
}

// A release of `count` records, one in ten a copy of the one before (exact duplicates).
std::vector<RadarRecord> Release(int count, std::mt19937& random) {
  std::vector<RadarRecord> records;
  for (int i = 0; i < count; ++i) {
    if (i % 10 == 9) {
      records.push_back(records.back());
      continue;
    }
    records.push_back(
        MakeRecord(static_cast<int>(random() % 27000), static_cast<int>(random() % 27000),
                   10 * static_cast<int>(random() % 13), static_cast<int>(random() % 360) - 70,
                   "City " + std::to_string(i)));
  }
  return records;
}

// The next release, keeping the unchanged records in their order: some removed, some changed,
// some moved a few units, some added, also as the very first and the very last record.
std::vector<RadarRecord> NextRelease(const std::vector<RadarRecord>& old, std::mt19937& random) {
  std::vector<RadarRecord> next;
  next.push_back(MakeRecord(26999, 26999, 130, 0, "First new"));
  for (const RadarRecord& record : old) {
    switch (random() % 12) {
      case 0:
        continue;  // removed
      case 1: {
        RadarRecord changed = record;
        changed.packed ^= 1u << (kSpeedShift + 1);
        next.push_back(changed);
        break;
      }
      case 2: {
        RadarRecord moved = record;
        moved.X = static_cast<std::uint16_t>(moved.X + (moved.X < 990 ? 3 : -3));
        next.push_back(moved);
        break;
      }
      case 3:
        next.push_back(MakeRecord(5, 5, 30, 90, "Added"));
        next.push_back(record);
        break;
      default:
        next.push_back(record);
    }
  }
  next.push_back(MakeRecord(1, 2, 50, -180, "Last new"));
  return next;
}

class ChangeListRoundTripTest : public testing::TestWithParam<unsigned> {};

// Faults caught: records lost, doubled or misplaced where the list leaves places free, changes
// applied to the wrong record, additions at the ends dropped.
TEST_P(ChangeListRoundTripTest, PatchOfDiffGivesTheNewRelease) {
  std::mt19937 random(GetParam());
  const std::vector<RadarRecord> old = Release(400, random);
  const std::string oldBytes = Bytes(old);
  const std::string newBytes = Bytes(NextRelease(old, random));
  std::string patched;
  ASSERT_EQ(ApplyChangeList(oldBytes, ChangeListOf(oldBytes, newBytes), patched).message(), "");
  EXPECT_EQ(patched, newBytes);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ChangeListRoundTripTest, testing::Values(1u, 2u, 3u, 241u));

// When NEW reorders its unchanged records, the patch holds the same records, in another order.
TEST(ChangeListTest, ReorderedReleaseGivesTheSameRecords) {
  std::mt19937 random(7);
  std::vector<RadarRecord> old = Release(50, random);
  std::vector<RadarRecord> next = old;
  std::reverse(next.begin(), next.end());
  next.erase(next.begin() + 3);
  const std::string oldBytes = Bytes(old);
  const std::string newBytes = Bytes(next);
  std::string patched;
  ASSERT_EQ(ApplyChangeList(oldBytes, ChangeListOf(oldBytes, newBytes), patched).message(), "");
  const auto sorted = [](const std::string& bytes) {
    std::vector<std::string> records;
    for (std::size_t at = 0; at < bytes.size(); at += kRadarRecordSize) {
      records.push_back(bytes.substr(at, kRadarRecordSize));
    }
    std::sort(records.begin(), records.end());
    return records;
  };
  EXPECT_EQ(sorted(patched), sorted(newBytes));
}

// Faults caught: a list edited by hand (lines deleted to skip changes) refused, or applied with
// the records around a skipped line shifted.
TEST(ChangeListTest, ListWithLinesDeletedStillApplies) {
  const std::vector<RadarRecord> old = {MakeRecord(1, 1, 50, 0, "a"), MakeRecord(2, 2, 50, 0, "b")};
  const RadarRecord x = MakeRecord(3, 3, 50, 0, "x");
  const RadarRecord y = MakeRecord(4, 4, 50, 0, "y");
  const std::string list = ChangeListOf(Bytes(old), Bytes({old[0], x, old[1], y}));
  // Skip adding x: its line is the first after the header.
  const std::size_t first = list.find("\r\n") + 2;
  const std::string edited = list.substr(0, first) + list.substr(list.find("\r\n", first) + 2);
  std::string patched;
  ASSERT_EQ(ApplyChangeList(Bytes(old), edited, patched).message(), "");
  EXPECT_EQ(patched, Bytes({old[0], old[1], y}));
}

struct MisfitCase {
  const char* fault;
  std::string line;  // a line after the header, or the whole list when it starts with "status"
  std::string message;
};

void PrintTo(const MisfitCase& c, std::ostream* os) { *os << c.fault; }

class ChangeListMisfitTest : public testing::TestWithParam<MisfitCase> {};

const RadarRecord kOldRecord = MakeRecord(1000, 2000, 50, 0, "a");
// The fourteen fields the export writes for `record`.
std::string ExportedFields(const RadarRecord& record) {
  std::string fields;
  AppendCsvFields(Rows(Bytes({record})), 0, fields);
  return fields;
}
// The one OLD record's.
const std::string kOldFields = ExportedFields(kOldRecord);
const std::string kOneEmptySide = ",,,,,,,,,,,,,,";

// Faults caught: a line that does not fit OLD applied anyway, reported at the wrong line or
// without its reason, or a partial result handed out.
TEST_P(ChangeListMisfitTest, StopsAtTheLineWithItsReason) {
  const MisfitCase& c = GetParam();
  const std::string old = Bytes({kOldRecord});
  const std::string list = c.line.rfind("status", 0) == 0
                               ? c.line
                               : DiffCsvHeader() + "\r\nremoved,0," + kOldFields + "," +
                                     kOneEmptySide + "\r\n" + c.line + "\r\n";
  std::string patched = "stale";
  EXPECT_EQ(ApplyChangeList(old, list, patched).message(), c.message) << c.fault;
  EXPECT_EQ(patched, "") << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, ChangeListMisfitTest,
    testing::Values(
        MisfitCase{"any CSV taken for a change list", "status,index\r\n",
                   "line 1: not a change list: the header is not the one diff writes"},
        MisfitCase{"an unknown status applied", "renamed,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,",
                   "line 3: 'renamed' is not a change diff writes"},
        MisfitCase{"an OLD record named twice", "removed,0," + kOldFields + "," + kOneEmptySide,
                   "line 3: old_index 0 is used twice"},
        MisfitCase{"an index past OLD's end taken", "removed,1," + kOldFields + "," + kOneEmptySide,
                   "line 3: old_index 1 is out of range: OLD has 1 records"},
        MisfitCase{"old fields that differ accepted", "moved,0," + kOldFields + ",0," + kOldFields,
                   "line 3: old_index 0 is used twice"},
        MisfitCase{"an added record with old fields", "added,0," + kOldFields + ",0," + kOldFields,
                   "line 3: an added record has old fields"},
        MisfitCase{"a line of too few fields taken", "added,,",
                   "line 3: expected 31 fields, found 3"},
        MisfitCase{"a new record import refuses placed",
                   "added," + kOneEmptySide + ",0," + kOldFields + std::string(200, 'z'),
                   "line 3: new record: City is 201 bytes long, more than the 120 its field holds"},
        MisfitCase{"two records placed at one index",
                   "added," + kOneEmptySide + ",4," + kOldFields + "\r\nadded," + kOneEmptySide +
                       ",4," + kOldFields,
                   "line 4: new_index 4 is used twice (also on line 3)"}));

// Fault caught: the old fields compared loosely, so a list made from another release applies.
TEST(ChangeListTest, OldFieldsMustMatchTheNamedRecord) {
  const std::string old = Bytes({kOldRecord});
  RadarRecord faster = kOldRecord;
  faster.packed += 1u << kSpeedShift;
  const std::string list =
      DiffCsvHeader() + "\r\nremoved,0," + ExportedFields(faster) + "," + kOneEmptySide + "\r\n";
  std::string patched;
  EXPECT_EQ(ApplyChangeList(old, list, patched).message(),
            "line 2: the old fields are not those of record 0 of OLD");
}

}  // namespace
