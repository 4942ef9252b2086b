#include "radardb/compare/compared_rows.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/filter/record_filter.h"
#include "tests/radardb/compare/small_tables.h"
#include "tests/support/scratch_folder.h"

using namespace radardb;

namespace {

// OLD and NEW with one record of each kind: NEW 0 moved from OLD 3, NEW 1 unchanged, NEW 2
// changed (speed), NEW 3 moved and changed from OLD 4, NEW 4 added; OLD 1 removed (row 5).
const std::vector<Rec> kOld = {
    {5000, 7000}, {9000, 3000}, {1000, 1000}, {2000, 2000}, {3000, 3000},
};
const std::vector<Rec> kNew = {
    {2010, 2000}, {5000, 7000}, {1000, 1000, 0, 1, 90}, {3010, 3000, 0, 1, 90}, {6000, 6000},
};

std::shared_ptr<const ComparedRows> Compared() {
  const RecordTable oldRows = Table(kOld);
  auto newRows = std::make_shared<const RecordTable>(Table(kNew));
  DatabaseDiff diff = CompareDatabases(oldRows, *newRows);
  return std::make_shared<const ComparedRows>(newRows, oldRows, std::move(diff));
}

TEST(ComparedRowsTest, RemovedRowsFollowWithTheirOldIndex) {
  const auto compared = Compared();
  std::string rows;
  for (std::uint32_t row = 0; row < compared->size(); ++row) {
    rows += std::to_string(compared->Int(row, int(Column::kIndex))) + ":" +
            std::string(compared->Text(row, kChangeField)) + "@" +
            std::to_string(compared->Int(row, int(Column::kCoordX))) + " ";
  }
  EXPECT_EQ(rows,
            "0:moved@2010 1:@5000 2:changed@1000 3:moved+changed@3010 4:added@6000 "
            "1:removed@9000 ");
}

// Faults caught: a partner taken from the wrong OLD row, or one given to an unchanged, added or
// removed row.
TEST(ComparedRowsTest, ChangedAndMovedRowsKeepTheirOldRecord) {
  const auto compared = Compared();
  std::string earlier;
  for (std::uint32_t row = 0; row < compared->size(); ++row) {
    const auto [table, at] = compared->Earlier(row);
    earlier += table == nullptr ? "-"
                                : std::to_string(table->Int(at, Column::kIndex)) + "@" +
                                      std::to_string(table->Int(at, Column::kCoordX)) + "/" +
                                      std::to_string(table->Int(at, Column::kSpd));
    earlier += ' ';
  }
  EXPECT_EQ(earlier, "3@2000/50 - 2@1000/50 4@3000/50 - - ");
}

struct FilterCase {
  const char* fault;
  std::string expression;
  RowOrder rows;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.fault; }

class ChangeFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(ChangeFilterTest, MatchesTheSummarysKinds) {
  const FilterCase& c = GetParam();
  const auto compared = Compared();
  RecordFilter filter;
  ASSERT_TRUE(RecordFilter::Parse(c.expression, filter, ComparedFields()).ok()) << c.fault;
  EXPECT_EQ(MatchingRows(filter, *compared, TableOrder(compared->size())), c.rows) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Words, ChangeFilterTest,
    testing::Values(FilterCase{"added rows missed", "change:added", {4}},
                    FilterCase{"removed rows not reachable", "change:removed", {5}},
                    FilterCase{"moved and changed not counted as moved", "change:moved", {0, 3}},
                    FilterCase{"moved and changed counted twice", "change:changed", {2}},
                    FilterCase{"unchanged rows not named", "change:unchanged", {1}},
                    FilterCase{"negation ignored", "-change:unchanged", {0, 2, 3, 4, 5}},
                    FilterCase{"!= not the opposite", "change!=removed", {0, 1, 2, 3, 4}},
                    FilterCase{
                        "letter case of name or word matters, or removed rows read NEW's fields",
                        "CHANGE=Removed coordx>5000",
                        {5}}));

struct ErrorCase {
  const char* fault;
  std::string expression;
  bool comparing;
  std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.fault; }

class ChangeFilterErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ChangeFilterErrorTest, TellsWhy) {
  const ErrorCase& c = GetParam();
  RecordFilter filter;
  const Status status =
      RecordFilter::Parse(c.expression, filter, c.comparing ? ComparedFields() : RecordFields());
  EXPECT_EQ(status.message(), c.message) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Terms, ChangeFilterErrorTest,
    testing::Values(
        ErrorCase{"unknown word taken", "change:gone", true,
                  "column 'Change' takes added, removed, moved, changed or unchanged in "
                  "'change:gone'"},
        ErrorCase{"order operator taken", "change>added", true,
                  "column 'Change' takes added, removed, moved, changed or unchanged in "
                  "'change>added'"},
        ErrorCase{"the tool's filter knows the change", "change:added", false,
                  "unknown column 'change' in 'change:added'"}));

TEST(ComparedRowsTest, ExportAddsTheChangeAsFifteenthField) {
  const ScratchFolder scratch;
  const std::string csv = scratch / "compared.csv";
  ASSERT_TRUE(ExportComparedCsvFile(*Compared(), {5, 1, 3, 4}, csv).ok());
  EXPECT_EQ(ReadFileBytes(csv),
            "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City,Change\r\n"
            "9000,3000,0,0,0,0,0,1,0,50,0,50,A1,Lyon,removed\r\n"
            "5000,7000,0,0,0,0,0,1,0,50,0,50,A1,Lyon,\r\n"
            "3010,3000,0,0,0,10,0,1,0,90,0,50,A1,Lyon,moved+changed\r\n"
            "6000,6000,0,0,0,0,0,1,0,50,0,50,A1,Lyon,added\r\n");
}

TEST(ComparedRowsTest, UnreadableArchiveKeepsWhatWasThere) {
  const ScratchFolder scratch;
  const auto before = Compared();
  std::shared_ptr<const ComparedRows> compared = before;
  const Status status = CompareWithArchive(scratch / "radar.lzw", before->NewRows(), compared);
  EXPECT_EQ(status.message(), "LZW file not found");
  EXPECT_EQ(compared, before);
}

}  // namespace
