#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "radardb/filter/record_filter.h"
#include "radardb/map/map_points.h"
#include "tests/radardb/map/map_test_rows.h"

using namespace radardb;

namespace {

// Points around (1000, 1000): exactly 5 units away on each axis, one 3-4-5 triangle away, just
// past 5 on the diagonal (4, 4 is 5.66 away), the centre itself, and far corners of the grid.
const std::vector<TestPoint> kPoints = {
    {1000, 1000},
    {1005, 1000},
    {995, 1000},
    {1000, 1005},
    {1000, 995},
    {1003, 1004},
    {1004, 1004},
    {1006, 1000},
    {0, 0},
    {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()},
    {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
    {1000, 1000, 7},
};

struct NearCase {
  const char* fault;
  std::string expression;
  RowOrder rows;
};

void PrintTo(const NearCase& c, std::ostream* os) { *os << c.fault; }

class NearTest : public testing::TestWithParam<NearCase> {};

// The scan and the index must agree with each other and with the expected rows, in the order
// given (here the rows backwards).
TEST_P(NearTest, IndexAndScanFindTheRowsWithinTheRadius) {
  const NearCase& c = GetParam();
  const RecordTable table = TableOf(kPoints);
  const RecordTableSource source(table);
  RowOrder backwards = TableOrder(table.size());
  std::reverse(backwards.begin(), backwards.end());
  const MapPoints index = MapPoints::Build(source, TableOrder(table.size()), ColourBy::kSc);
  RecordFilter filter;
  ASSERT_TRUE(RecordFilter::Parse(c.expression, filter).ok()) << c.expression;
  EXPECT_EQ(MatchingRows(filter, source, backwards), c.rows) << c.fault;
  EXPECT_EQ(MatchingRows(filter, source, backwards, index), c.rows) << c.fault;
}

constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, NearTest,
    testing::Values(NearCase{"edge left out", "near:1000,1000,5", {11, 5, 4, 3, 2, 1, 0}},
                    NearCase{"radius 0 finds more than the spot", "near:1000,1000,0", {11, 0}},
                    NearCase{"radius 0 off any point finds one", "near:1001,1000,0", {}},
                    NearCase{"other terms ignored", "near:1000,1000,5 sc=7", {11}},
                    NearCase{"negated term misses the rest", "-near:1000,1000,5", {10, 9, 8, 7, 6}},
                    NearCase{"huge radius overflows",
                             "near:0,0," + std::to_string(kHuge),
                             {11, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
                    NearCase{
                        "far corner's distance overflows", "near:-2147483648,2147483647,1", {10}},
                    NearCase{"letter case of near not ignored", "NEAR:0,0,0", {8}}));

TEST(NearIndexTest, IndexOfOtherRowsIsNotUsed) {
  // An index over only some of the rows must not hide the others.
  const RecordTable table = TableOf(kPoints);
  const RecordTableSource source(table);
  const std::vector<std::uint32_t> some = {0, 1};
  const MapPoints partial = MapPoints::Build(source, some, ColourBy::kSc);
  RecordFilter filter;
  ASSERT_TRUE(RecordFilter::Parse("near:1000,1000,5", filter).ok());
  EXPECT_EQ(MatchingRows(filter, source, TableOrder(table.size()), partial),
            (RowOrder{0, 1, 2, 3, 4, 5, 11}));
}

}  // namespace
