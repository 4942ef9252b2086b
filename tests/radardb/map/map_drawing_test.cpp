#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "radardb/map/map_raster.h"
#include "radardb/map/map_view.h"
#include "tests/radardb/map/map_test_rows.h"

using namespace radardb;

namespace {

// 113 x 63 pixels fitted to (0, 0)..(1000, 500) give 0.1 pixels a grid unit: pixel x = 6 + x/10,
// pixel y = 56 - y/10.
constexpr int kWidth = 113;
constexpr int kHeight = 63;
const std::vector<TestPoint> kCorners = {{0, 0, 1}, {1000, 500, 2}, {500, 250, 3}};

struct PixelCase {
  const char* fault;
  std::vector<TestPoint> points;
  std::vector<std::uint32_t> highlighted;  // rows
  int x;
  int y;
  std::optional<int> sc;  // the pixel's colour is that of this sc; nothing: background
  bool ring = false;      // the pixel is a highlight's ring
  // Without a point, the pixel lies on a grid square's edge (CoordX 0 or CoordY 0; a square is
  // 100 pixels wide).
  bool gridLine = false;
};

void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.fault; }

class FittedPictureTest : public testing::TestWithParam<PixelCase> {};

TEST_P(FittedPictureTest, PixelHasTheExpectedColour) {
  const PixelCase& c = GetParam();
  const RecordTable table = TableOf(c.points);
  const RecordTableSource source(table);
  const MapPoints points = MapPoints::Build(source, TableOrder(table.size()), ColourBy::kSc);
  const MapPoints highlighted = MapPoints::Build(source, c.highlighted, ColourBy::kSc);
  MapImage image;
  DrawMap(points, &highlighted, FitView(points.Bounds(), kWidth, kHeight), image);
  ASSERT_EQ(image.width(), kWidth);
  ASSERT_EQ(image.height(), kHeight);
  const Rgb expected = c.ring       ? kHighlightRing
                       : c.sc       ? ClassColour(ColourBy::kSc, *c.sc)
                       : c.gridLine ? kGridLineColour
                                    : kMapBackground;
  EXPECT_EQ(image.At(c.x, c.y), expected) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FittedPictureTest,
    testing::Values(
        PixelCase{"lowest CoordY not at the bottom", kCorners, {}, 6, 56, 1},
        PixelCase{"highest CoordY not at the top", kCorners, {}, 106, 6, 2},
        PixelCase{"CoordY drawn downward", kCorners, {}, 6, 6, std::nullopt, false, true},
        PixelCase{"middle point misplaced", kCorners, {}, 56, 31, 3},
        PixelCase{"dot narrower than its radius", kCorners, {}, 56 + kDotRadiusPx, 31, 3},
        PixelCase{
            "dot wider than its radius", kCorners, {}, 56 + kDotRadiusPx + 1, 31, std::nullopt},
        PixelCase{"lone point not in the middle", {{-40, 7, 5}}, {}, 56, 31, 5},
        PixelCase{"highlight without its ring",
                  kCorners,
                  {2},
                  56 + kDotRadiusPx + 1,
                  31,
                  std::nullopt,
                  true},
        PixelCase{"highlight's ring over its dot", kCorners, {2}, 56, 31, 3},
        PixelCase{"highlight drawn for a row not selected",
                  kCorners,
                  {2},
                  6 + kDotRadiusPx + 1,
                  56,
                  std::nullopt,
                  false,
                  true}));

TEST(MapDrawingTest, PointsOutsideTheViewLeaveThePictureAlone) {
  const RecordTable table = TableOf(kCorners);
  const MapPoints points = MapPoints::Build(RecordTableSource(table), TableOrder(3), ColourBy::kSc);
  // Zoomed far into the empty top edge at (250, 500), between the points.
  const MapView view = Zoomed(FitView(points.Bounds(), kWidth, kHeight), 50, 31, 6);
  MapImage image;
  DrawMap(points, nullptr, view, image);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(image.At(x, y), kMapBackground) << x << "," << y;
  }
}

// Fault caught: the last pixel column never drawn.
TEST(MapDrawingTest, ADotReachesTheLastPixelColumn) {
  const RecordTable table = TableOf({{5, 0, 1}});
  const MapPoints points = MapPoints::Build(RecordTableSource(table), TableOrder(1), ColourBy::kSc);
  MapImage image;
  DrawMap(points, nullptr, MapView{10, 10, 0.5, 0.5, 1}, image);
  EXPECT_EQ(image.At(9, 5), ClassColour(ColourBy::kSc, 1));
}

TEST(MapViewTest, ZoomKeepsTheGridPositionUnderThePointer) {
  const MapView fitted = FitView({0, 0, 1000, 500}, kWidth, kHeight);
  const MapView zoomed = Zoomed(fitted, 4, 16, 51);
  EXPECT_DOUBLE_EQ(zoomed.scale, 0.4);
  EXPECT_DOUBLE_EQ(GridX(zoomed, 16), 100);
  EXPECT_DOUBLE_EQ(GridY(zoomed, 51), 50);
  const MapView panned = Panned(zoomed, 8, -4);
  EXPECT_DOUBLE_EQ(GridX(panned, 24), 100);
  EXPECT_DOUBLE_EQ(GridY(panned, 47), 50);
}

struct BoxCase {
  const char* fault;
  double x0, y0, x1, y1;  // pixels of the fitted view above
  std::string terms;      // "" when no grid position lies inside
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.fault; }

class BoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(BoxTest, BoxGivesTheTermsOfTheGridPositionsInside) {
  const BoxCase& c = GetParam();
  MapView view = FitView({0, 0, 1000, 500}, kWidth, kHeight);
  if (c.terms.empty()) view = Zoomed(view, 200, 56, 31);  // 20 pixels a grid unit
  const std::optional<GridBox> box = BoxBetween(view, c.x0, c.y0, c.x1, c.y1);
  EXPECT_EQ(box ? BoxFilterTerms(*box) : "", c.terms) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxTest,
    testing::Values(
        BoxCase{"CoordY read downward", 16, 51, 26, 41, "coordx=100..200 coordy=50..150"},
        BoxCase{"corners taken in drag order", 26, 41, 16, 51, "coordx=100..200 coordy=50..150"},
        BoxCase{"edges between grid positions rounded outward", 16.05, 50.95, 25.95, 41.05,
                "coordx=101..199 coordy=51..149"},
        BoxCase{"negative positions lost", 0, 62, 6, 56, "coordx=-60..0 coordy=-60..0"},
        BoxCase{"a box between two grid positions gave terms", 60, 31, 70, 40, ""}));

}  // namespace
