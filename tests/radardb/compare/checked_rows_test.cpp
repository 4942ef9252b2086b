#include "radardb/compare/checked_rows.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "radardb/filter/record_filter.h"
#include "tests/radardb/compare/small_tables.h"

using namespace radardb;

namespace {

// Row 1 copies row 0, row 2 stands on its spot with another speed, row 3 lies 10 units from it,
// row 4 is far away with a tab in its road, row 5's speed text fills its whole field.
std::shared_ptr<const RecordTable> CheckedTable() {
  auto table = std::make_shared<RecordTable>(
      Table({{5000, 7000}, {5000, 7000}, {5000, 7000, 0, 1, 90}, {5010, 7000}, {9000, 9000}}));
  table->Append({5, 20000, 20000, 0, 0, 0, 0, 0, 1, 0, 50, 0}, std::string(kSpeedFieldSize, '5'),
                "A1", "Lyon");
  table->SetTexts(4, "50", "A\t1", "Lyon");
  return table;
}

std::shared_ptr<const CheckedRows> Check() {
  std::shared_ptr<const CheckedRows> checked;
  EXPECT_TRUE(CheckLoadedRows(CheckedTable(), checked).ok());
  return checked;
}

TEST(CheckedRowsTest, FindingFieldNamesEachRowsKinds) {
  const std::shared_ptr<const CheckedRows> checked = Check();
  ASSERT_NE(checked, nullptr);
  const std::vector<std::string> expected = {
      "", "duplicate", "conflict", "near-duplicate", "control-character", "cut-text"};
  ASSERT_EQ(checked->size(), expected.size());
  for (std::uint32_t row = 0; row < expected.size(); ++row) {
    EXPECT_EQ(checked->Text(row, kFindingField), expected[row]) << row;
  }
  EXPECT_EQ(checked->FindingsOf(2).front().other, 0u);
  EXPECT_EQ(checked->Report().counts[static_cast<int>(FindingKind::kUnusedBits)], 0u);
  EXPECT_EQ(checked->Int(99, kFindingField), 0) << "a row added after the check";
}

TEST(CheckedRowsTest, SeveralKindsJoinInTheirOrder) {
  // Row 2 copies row 1, which lies 10 units from row 0.
  auto table = std::make_shared<RecordTable>(Table({{5000, 7000}, {5010, 7000}, {5010, 7000}}));
  std::shared_ptr<const CheckedRows> checked;
  ASSERT_TRUE(CheckLoadedRows(table, checked).ok());
  EXPECT_EQ(checked->Text(2, kFindingField), "duplicate, near-duplicate");
}

struct TermCase {
  const char* term;
  std::vector<std::uint32_t> rows;
};

class FindingTermTest : public testing::TestWithParam<TermCase> {};

TEST_P(FindingTermTest, PicksTheRowsOfThatKind) {
  const std::shared_ptr<const CheckedRows> checked = Check();
  RecordFilter filter;
  ASSERT_TRUE(RecordFilter::Parse(GetParam().term, filter, CheckedFields()).ok());
  const RowOrder shown = MatchingRows(filter, *checked, TableOrder(checked->size()));
  EXPECT_EQ(std::vector<std::uint32_t>(shown.begin(), shown.end()), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Words, FindingTermTest,
    testing::Values(TermCase{"finding:duplicate", {1}}, TermCase{"finding:conflict", {2}},
                    TermCase{"Finding=Near-Duplicate", {3}},
                    TermCase{"finding:control-character", {4}}, TermCase{"finding:cut-text", {5}},
                    TermCase{"finding:unused-bits", {}}, TermCase{"finding:any", {1, 2, 3, 4, 5}},
                    TermCase{"-finding:any", {0}},
                    TermCase{"finding!=duplicate", {0, 2, 3, 4, 5}}));

TEST(CheckedRowsTest, WrongWordListsTheWords) {
  RecordFilter filter;
  EXPECT_EQ(RecordFilter::Parse("finding:bad", filter, CheckedFields()).message(),
            "column 'Finding' takes duplicate, conflict, near-duplicate, cut-text, "
            "control-character, unused-bits or any in 'finding:bad'");
  EXPECT_FALSE(RecordFilter::Parse("finding:duplicate", filter).ok()) << "without a check";
}

}  // namespace
