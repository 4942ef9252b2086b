#include "radardb/map/map_points.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>

#include "tests/radardb/map/map_test_rows.h"

using namespace radardb;

namespace {

struct NearestCase {
  const char* fault;
  double x;
  double y;
  double radius;
  std::optional<std::uint32_t> row;  // nothing: no point that near
};

void PrintTo(const NearestCase& c, std::ostream* os) { *os << c.fault; }

class NearestTest : public testing::TestWithParam<NearestCase> {};

// Rows 1 and 2 lie on the same position; row 4 is not among the points.
const std::vector<TestPoint> kPoints = {{0, 0},     {10, 0}, {10, 0},
                                        {100, 100}, {3, 0},  {-50, 2000000}};
const std::vector<std::uint32_t> kMapped = {0, 1, 2, 3, 5};

TEST_P(NearestTest, FindsTheNearestPointWithinTheRadius) {
  const NearestCase& c = GetParam();
  const RecordTable table = TableOf(kPoints);
  const MapPoints points = MapPoints::Build(RecordTableSource(table), kMapped, ColourBy::kSc);
  const std::optional<MapPoints::Hit> hit = points.Nearest(c.x, c.y, c.radius);
  ASSERT_EQ(hit.has_value(), c.row.has_value()) << c.fault;
  if (!hit) return;
  EXPECT_EQ(hit->row, *c.row) << c.fault;
  EXPECT_EQ(hit->x, kPoints[*c.row].x) << c.fault;
  EXPECT_EQ(hit->y, kPoints[*c.row].y) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestTest,
    testing::Values(
        NearestCase{"the nearer point lost to another", 4, 0, 20, 0},
        NearestCase{"of two on one position, not the lower row", 9, 0, 5, 1},
        NearestCase{"a point exactly at the radius missed", 100, 105, 5, 3},
        NearestCase{"a point exactly at the radius across missed", 105, 100, 5, 3},
        NearestCase{"a point beyond the radius taken", 100, 105.5, 5, std::nullopt},
        NearestCase{"a row not mapped taken (row 4 lies at 3,0)", 3, 0, 2, std::nullopt},
        NearestCase{"far corner of the bounds missed", -50, 1999999, 1, 5},
        NearestCase{"outside the bounds found something", -1000, -1000, 10, std::nullopt}));

TEST(MapPointsTest, NearestAgreesWithLookingAtEveryPoint) {
  // Clustered points, as real databases have them, stress the cells' edges.
  std::mt19937 random(15);
  std::vector<TestPoint> many;
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t cluster = static_cast<std::int32_t>(random() % 7) * 1000000;
    many.push_back({cluster + static_cast<std::int32_t>(random() % 9000),
                    cluster / 3 + static_cast<std::int32_t>(random() % 9000)});
  }
  const RecordTable table = TableOf(many);
  const MapPoints points =
      MapPoints::Build(RecordTableSource(table), TableOrder(many.size()), ColourBy::kSc);
  for (int query = 0; query < 300; ++query) {
    const TestPoint& near = many[random() % many.size()];
    const double x = near.x + static_cast<double>(random() % 200) - 100;
    const double y = near.y + static_cast<double>(random() % 200) - 100;
    const double radius = 1 + random() % 60;
    std::optional<std::uint32_t> expected;
    double best = radius * radius;
    for (std::uint32_t row = 0; row < many.size(); ++row) {
      const double dx = many[row].x - x, dy = many[row].y - y;
      if (dx * dx + dy * dy <= best && !(expected && dx * dx + dy * dy == best)) {
        best = dx * dx + dy * dy;
        expected = row;
      }
    }
    const std::optional<MapPoints::Hit> hit = points.Nearest(x, y, radius);
    ASSERT_EQ(hit ? std::optional(hit->row) : std::nullopt, expected) << "query " << query;
  }
}

TEST(MapPointsTest, BoundsAndClassCountsCoverTheMappedRows) {
  const RecordTable table =
      TableOf({{5, -7, 3, 50}, {-2, 9, 3, 130}, {8, 1, 31, 131}, {0, 0, 1, 0}});
  const std::vector<std::uint32_t> rows = {0, 1, 2};
  const MapPoints bySc = MapPoints::Build(RecordTableSource(table), rows, ColourBy::kSc);
  EXPECT_EQ(bySc.Bounds().minX, -2);
  EXPECT_EQ(bySc.Bounds().maxX, 8);
  EXPECT_EQ(bySc.Bounds().minY, -7);
  EXPECT_EQ(bySc.Bounds().maxY, 9);
  EXPECT_EQ(bySc.ClassCounts()[3], 2u);
  EXPECT_EQ(bySc.ClassCounts()[31], 1u);
  EXPECT_EQ(bySc.ClassCounts()[1], 0u);  // row 3 is not mapped
  const MapPoints bySpd = MapPoints::Build(RecordTableSource(table), rows, ColourBy::kSpd);
  EXPECT_EQ(bySpd.ClassCounts()[ClassOf(ColourBy::kSpd, 50)], 1u);
  EXPECT_EQ(bySpd.ClassCounts()[ClassOf(ColourBy::kSpd, 130)], 1u);
  EXPECT_EQ(bySpd.ClassCounts()[ClassOf(ColourBy::kSpd, 131)], 1u);
}

struct ClassCase {
  const char* fault;
  ColourBy by;
  std::int32_t value;
  std::string label;  // of the value's class
};

void PrintTo(const ClassCase& c, std::ostream* os) { *os << c.fault; }

class ClassTest : public testing::TestWithParam<ClassCase> {};

TEST_P(ClassTest, ValueFallsIntoTheClassItsLabelNames) {
  const ClassCase& c = GetParam();
  EXPECT_EQ(ClassLabel(c.by, ClassOf(c.by, c.value)), c.label) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassTest,
    testing::Values(ClassCase{"a category shares a colour", ColourBy::kSc, 17, "17"},
                    ClassCase{"the last category lost", ColourBy::kSc, 31, "31"},
                    ClassCase{"no limit mixed with slow speeds", ColourBy::kSpd, 0, "0"},
                    ClassCase{"a band's lowest speed in the band below", ColourBy::kSpd, 31,
                              "31\xE2\x80\x93"
                              "50"},
                    ClassCase{"a band's highest speed in the band above", ColourBy::kSpd, 130,
                              "111\xE2\x80\x93"
                              "130"},
                    ClassCase{"the fastest band cut short", ColourBy::kSpd, 255,
                              "131\xE2\x80\x93"
                              "255"},
                    ClassCase{"a change read as another", ColourBy::kChange, 4, "added"},
                    ClassCase{"the last change lost", ColourBy::kChange, 5, "removed"}));

}  // namespace
