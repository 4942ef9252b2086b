#include "radardb/compare/database_diff.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/radardb/compare/small_tables.h"

using namespace radardb;

namespace {

// Each NEW row's change and "<" its OLD partner, then "|" and the removed OLD rows.
std::string Describe(const DatabaseDiff& diff) {
  std::string text;
  for (std::size_t row = 0; row < diff.newChanges.size(); ++row) {
    const RecordChange change = diff.newChanges[row];
    text += change == RecordChange::kUnchanged ? "same" : std::string(ChangeWord(change));
    if (diff.oldPartners[row] != kNoPartner) text += "<" + std::to_string(diff.oldPartners[row]);
    text += " ";
  }
  text += "|";
  for (const std::uint32_t row : diff.removed) text += " " + std::to_string(row);
  return text;
}

struct MatchCase {
  const char* fault;
  std::vector<Rec> oldRecords;
  std::vector<Rec> newRecords;
  std::string expected;
  int tolerance = kDefaultTolerance;
};

// Test names show the fault a case would catch.
void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.fault; }

class MatchingTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchingTest, PairsRecordsAsDocumented) {
  const MatchCase& c = GetParam();
  const DatabaseDiff diff = CompareDatabases(Table(c.oldRecords), Table(c.newRecords), c.tolerance);
  EXPECT_EQ(Describe(diff), c.expected) << c.fault;
}

const Rec kA{5000, 7000};
const Rec kB{9000, 3000};

INSTANTIATE_TEST_SUITE_P(
    Steps, MatchingTest,
    testing::Values(
        MatchCase{
            "copies not paired as multisets", {kA, kA}, {kA, kA, kA}, "same<0 same<1 added |"},
        MatchCase{"copies not paired in row order", {kA, kB, kA}, {kA, kA}, "same<0 same<2 | 1"},
        MatchCase{"one extra copy in OLD not removed", {kA, kA}, {kA}, "same<0 | 1"},
        MatchCase{"new speed at the same position not changed",
                  {kA},
                  {{5000, 7000, 0, 1, 90}},
                  "changed<0 |"},
        MatchCase{"another category at the same position taken for a change",
                  {kA},
                  {{5000, 7000, 0, 2}},
                  "added | 0"},
        MatchCase{"same direction not preferred on a shared position",
                  {{5000, 7000, 0}, {5000, 7000, 180}},
                  {{5000, 7000, 180, 1, 90}},
                  "changed<1 | 0"},
        MatchCase{"move of exactly the tolerance not found", {kA}, {{5015, 7020}}, "moved<0 |"},
        MatchCase{"move just beyond the tolerance taken", {kA}, {{5015, 7021}}, "added | 0"},
        MatchCase{"wider tolerance ignored", {kA}, {{5040, 7000}}, "moved<0 |", 50},
        MatchCase{"zero tolerance still moves", {kA}, {{5001, 7000}}, "added | 0", 0},
        MatchCase{"move with a new speed not marked changed",
                  {kA},
                  {{5010, 7000, 0, 1, 90}},
                  "moved+changed<0 |"},
        MatchCase{"move into another category", {kA}, {{5010, 7000, 0, 2}}, "added | 0"},
        MatchCase{
            "direction 10 degrees off refused", {kA}, {{5010, 7000, 10}}, "moved+changed<0 |"},
        MatchCase{"direction 11 degrees off accepted", {kA}, {{5010, 7000, 11}}, "added | 0"},
        MatchCase{"directions not compared around the circle",
                  {{5000, 7000, -175}},
                  {{5010, 7000, 178}},
                  "moved+changed<0 |"},
        MatchCase{"decoded 289 not the same as -71",
                  {{5000, 7000, 289}},
                  {{5010, 7000, -71}},
                  "moved+changed<0 |"},
        MatchCase{"360 not taken as any direction",
                  {{5000, 7000, 360}},
                  {{5010, 7000, 90}},
                  "moved+changed<0 |"},
        MatchCase{"360 in NEW not taken as any direction",
                  {{5000, 7000, 90}},
                  {{5010, 7000, 360}},
                  "moved+changed<0 |"},
        MatchCase{"both 360 not matched", {{5000, 7000, 360}}, {{5010, 7000, 360}}, "moved<0 |"},
        MatchCase{"farther record taken over the nearest",
                  {kA},
                  {{5020, 7000}, {5010, 7000}},
                  "added moved<0 |"},
        MatchCase{"equal distance not given to the lowest NEW row",
                  {kA},
                  {{5010, 7000}, {4990, 7000}},
                  "moved<0 added |"},
        MatchCase{"equal distance not given to the lowest OLD row",
                  {{4990, 7000}, {5010, 7000}},
                  {kA},
                  "moved<0 | 1"},
        MatchCase{"identical pair broken up for a move",
                  {kA, {5005, 7000}},
                  {{5005, 7000}},
                  "same<1 | 0"}));

TEST(DiffCountsTest, CountMovedAndChangedAsMoved) {
  const DatabaseDiff diff =
      CompareDatabases(Table({kA, kB, {100, 100}, {800, 800}}),
                       Table({kA, {9000, 3000, 0, 1, 70}, {110, 100, 0, 1, 70}, {2000, 2000}}));
  EXPECT_EQ(diff.counts.unchanged, 1u);
  EXPECT_EQ(diff.counts.changed, 1u);
  EXPECT_EQ(diff.counts.moved, 1u);
  EXPECT_EQ(diff.counts.added, 1u);
  EXPECT_EQ(diff.counts.removed, 1u);
  EXPECT_TRUE(diff.HasDifferences());
  EXPECT_FALSE(CompareDatabases(Table({kA, kB}), Table({kB, kA})).HasDifferences());
}

// Thousands of records left for step 3 within one cell: without a bound every search would
// examine all of them.
TEST(DiffCountsTest, GivesUpOnRecordsCrowdedBeyondAnyDatabase) {
  std::vector<Rec> oldCrowd, newCrowd;
  for (int i = 0; i < 2500; ++i) {
    oldCrowd.push_back({2 * (i % 50), i / 50});
    newCrowd.push_back({2 * (i % 50) + 1, i / 50});
  }
  EXPECT_EQ(CompareDatabases(Table(oldCrowd), Table(newCrowd), kMaxTolerance).status.message(),
            kTooCrowdedToCompare);
}

}  // namespace
