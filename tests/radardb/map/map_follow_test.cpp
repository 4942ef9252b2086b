#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "radardb/map/map_marks.h"
#include "radardb/map/map_view.h"
#include "tests/radardb/map/map_test_rows.h"

using namespace radardb;

namespace {

MapPoints PointsOf(const RecordTable& table) {
  return MapPoints::Build(RecordTableSource(table), TableOrder(table.size()), ColourBy::kSc);
}

struct InViewCase {
  const char* fault;
  std::vector<TestPoint> points;
  bool inView;
};

void PrintTo(const InViewCase& c, std::ostream* os) { *os << c.fault; }

class RefitTest : public testing::TestWithParam<InViewCase> {};

// A view of 101 x 101 pixels at one pixel a unit around (0, 0) shows -50.5 to 50.5 each way.
TEST_P(RefitTest, ViewIsKeptOnlyWhileItShowsAPoint) {
  const InViewCase& c = GetParam();
  const RecordTable table = TableOf(c.points);
  const MapView view{101, 101, 0, 0, 1};
  EXPECT_EQ(AnyPointInView(PointsOf(table), view), c.inView) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefitTest,
    testing::Values(InViewCase{"a point in the middle not seen", {{0, 0}}, true},
                    InViewCase{"a point at the edge not seen", {{50, -50}}, true},
                    InViewCase{"a point just outside seen", {{51, 0}}, false},
                    InViewCase{"points around the view seen", {{-60, 0}, {60, 0}, {0, 90}}, false},
                    InViewCase{"one of many in view not seen", {{900, 900}, {-3, 4}}, true},
                    InViewCase{"no points seen", {}, false}));

// Ten groups of three records 10 units apart, 100,000 units from one another: fitted into 400
// pixels each group is one dot; a double-click on a dot must part its three within two steps.
TEST(DotZoomTest, DoubleClickSeparatesTheRecordsOfADot) {
  std::vector<TestPoint> rows;
  for (int group = 0; group < 10; ++group) {
    for (int i = 0; i < 3; ++i) rows.push_back({group * 100000 + i * 10, 5000});
  }
  const RecordTable table = TableOf(rows);
  const MapPoints points = PointsOf(table);
  MapView view = FitView(points.Bounds(), 400, 300);
  const double px = PixelX(view, 300010);
  const double py = PixelY(view, 5000);
  int steps = 0;
  while (std::abs(PixelX(view, 300010) - PixelX(view, 300000)) < kDensityCellPx && steps < 3) {
    const std::optional<MapView> zoomed = ZoomedOnDot(points, view, px, py);
    ASSERT_TRUE(zoomed);
    view = *zoomed;
    ++steps;
  }
  EXPECT_LE(steps, 2);
  EXPECT_GE(PixelX(view, 300010) - PixelX(view, 300000), kDensityCellPx);
  EXPECT_FALSE(ZoomedOnDot(points, view, 0, 0)) << "empty corner zoomed";
}

TEST(DotZoomTest, RecordsOnOnePositionZoomAroundThePointer) {
  const RecordTable table = TableOf({{700, 700}, {700, 700}, {0, 0}});
  const MapPoints points = PointsOf(table);
  const MapView view = FitView(points.Bounds(), 200, 200);
  const std::optional<MapView> zoomed =
      ZoomedOnDot(points, view, PixelX(view, 700), PixelY(view, 700));
  ASSERT_TRUE(zoomed);
  EXPECT_DOUBLE_EQ(zoomed->scale, view.scale * kSeparateZoom);
  EXPECT_NEAR(PixelX(*zoomed, 700), PixelX(view, 700), 1e-6);
}

}  // namespace
