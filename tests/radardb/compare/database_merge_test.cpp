#include "radardb/compare/database_merge.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "radardb/csv/csv_import.h"
#include "radardb/records/radar_record.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kUnusedBit = 1;  // bit 0 of `packed`: no field of a row reads it

// The bytes of a record at grid position (x, y), in category `sc`, heading `dir` degrees.
std::string Rec(int x, int y, int dir = 0, int sc = 1, std::uint32_t unused = 0) {
  RadarRecord record;
  record.X = static_cast<std::uint16_t>(x);
  record.Y = static_cast<std::uint16_t>(y);
  record.packed = *RawDirectionFor(dir) << kDirectionShift |
                  static_cast<std::uint32_t>(sc) << kSubcatShift | unused;
  std::string("A1").copy(record.Road, kRoadFieldSize);
  std::string bytes;
  record.AppendTo(bytes);
  return bytes;
}

struct MergeCase {
  const char* fault;
  MergeDrop drop;
  std::vector<std::string> inputs;
  std::string kept;
  std::string summary;
  bool firstKept = false;  // the first input added whole (AddKept), as a table's rows are
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.fault; }

class MergeTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeTest, KeepsTheRecordsTheRuleLeaves) {
  const MergeCase& c = GetParam();
  RecordMerger merger(c.drop);
  for (const std::string& input : c.inputs) {
    const bool whole = c.firstKept && &input == &c.inputs.front();
    whole ? merger.AddKept(input) : merger.Add(input);
  }
  EXPECT_EQ(merger.Kept(), c.kept) << c.fault;
  EXPECT_EQ(MergeSummary(merger.Counts()), c.summary) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MergeTest,
    testing::Values(
        MergeCase{"bytes no field shows lost, or records reordered",
                  MergeDrop::kNothing,
                  {Rec(5, 5, 0, 1, kUnusedBit) + Rec(5, 5), Rec(5, 5)},
                  Rec(5, 5, 0, 1, kUnusedBit) + Rec(5, 5) + Rec(5, 5),
                  "2 + 1 records; 0 duplicates dropped; 3 written"},
        MergeCase{"duplicates within one input kept",
                  MergeDrop::kDuplicates,
                  {Rec(5, 5) + Rec(6, 6) + Rec(5, 5)},
                  Rec(5, 5) + Rec(6, 6),
                  "3 records; 1 duplicates dropped; 2 written"},
        MergeCase{"duplicates across inputs kept, or the later copy kept instead",
                  MergeDrop::kDuplicates,
                  {Rec(5, 5, 0, 1, kUnusedBit), Rec(7, 7) + Rec(5, 5)},
                  Rec(5, 5, 0, 1, kUnusedBit) + Rec(7, 7),
                  "1 + 2 records; 1 duplicates dropped; 2 written"},
        MergeCase{"a record a field apart taken for a duplicate",
                  MergeDrop::kDuplicates,
                  {Rec(5, 5), Rec(5, 5, 1)},
                  Rec(5, 5) + Rec(5, 5, 1),
                  "1 + 1 records; 0 duplicates dropped; 2 written"},
        MergeCase{"near-duplicates kept, or the tolerance's edge left out",
                  MergeDrop::kNearDuplicates,
                  {Rec(100, 100), Rec(125, 100) + Rec(100, 126)},
                  Rec(100, 100) + Rec(100, 126),
                  "1 + 2 records; 0 duplicates and 1 near-duplicates dropped; 2 written"},
        MergeCase{"another category or a direction 11 degrees away dropped as near",
                  MergeDrop::kNearDuplicates,
                  {Rec(100, 100, 0), Rec(101, 100, 0, 2) + Rec(101, 100, 11)},
                  Rec(100, 100, 0) + Rec(101, 100, 0, 2) + Rec(101, 100, 11),
                  "1 + 2 records; 0 duplicates dropped; 3 written"},
        MergeCase{"a direction 10 degrees away across north kept as another record",
                  MergeDrop::kNearDuplicates,
                  {Rec(100, 100, -5), Rec(104, 103, 5)},
                  Rec(100, 100, -5),
                  "1 + 1 records; 0 duplicates and 1 near-duplicates dropped; 1 written"},
        MergeCase{"a near record across a cell border missed",
                  MergeDrop::kNearDuplicates,
                  {Rec(24, 24), Rec(30, 30)},
                  Rec(24, 24),
                  "1 + 1 records; 0 duplicates and 1 near-duplicates dropped; 1 written"},
        MergeCase{"records added whole dropped among themselves, or later ones not compared",
                  MergeDrop::kDuplicates,
                  {Rec(5, 5) + Rec(5, 5), Rec(5, 5) + Rec(9, 9)},
                  Rec(5, 5) + Rec(5, 5) + Rec(9, 9),
                  "2 + 2 records; 1 duplicates dropped; 3 written",
                  true},
        MergeCase{"a record near only one added whole kept",
                  MergeDrop::kNearDuplicates,
                  {Rec(100, 100) + Rec(120, 100), Rec(140, 100)},
                  Rec(100, 100) + Rec(120, 100),
                  "2 + 1 records; 0 duplicates and 1 near-duplicates dropped; 2 written",
                  true}));

}  // namespace
