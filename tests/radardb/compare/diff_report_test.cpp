#include "radardb/compare/diff_report.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace radardb;

namespace {

struct GroupingCase {
  const char* fault;
  std::uint64_t value;
  std::string text;
};

// Test names show the fault a case would catch.
void PrintTo(const GroupingCase& c, std::ostream* os) { *os << c.fault; }

class GroupedNumberTest : public testing::TestWithParam<GroupingCase> {};

TEST_P(GroupedNumberTest, PutsCommasBetweenGroupsOfThree) {
  EXPECT_EQ(GroupedNumber(GetParam().value), GetParam().text) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Values, GroupedNumberTest,
    testing::Values(GroupingCase{"zero dropped", 0, "0"},
                    GroupingCase{"comma before three digits", 999, "999"},
                    GroupingCase{"no comma at a thousand", 1000, "1,000"},
                    GroupingCase{"groups counted from the left", 998101, "998,101"},
                    GroupingCase{"only one comma in millions", 1234567, "1,234,567"}));

TEST(DiffSummaryTest, NamesEveryCountInOrder) {
  ChangeCounts counts;
  counts.added = 1203;
  counts.removed = 87;
  counts.moved = 40;
  counts.changed = 312;
  counts.unchanged = 998101;
  EXPECT_EQ(DiffSummary(counts),
            "1,203 added, 87 removed, 40 moved, 312 changed, 998,101 unchanged");
}

TEST(DiffSummaryTest, HeaderNamesBothSidesApart) {
  EXPECT_EQ(DiffCsvHeader(),
            "status,old_index,old_CoordX,old_CoordY,old_SS,old_MS,old_LS,old_X,old_Y,old_subcat,"
            "old_mph,old_speed,old_dir,old_Speed,old_Road,old_City,new_index,new_CoordX,new_CoordY,"
            "new_SS,new_MS,new_LS,new_X,new_Y,new_subcat,new_mph,new_speed,new_dir,new_Speed,"
            "new_Road,new_City");
}

}  // namespace
