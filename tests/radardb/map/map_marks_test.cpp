#include "radardb/map/map_marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

#include "radardb/map/map_raster.h"
#include "radardb/map/map_text.h"
#include "radardb/map/map_view.h"
#include "tests/radardb/map/map_test_rows.h"

using namespace radardb;

namespace {

// A picture 113 x 63 pixels around (5500, 7500), at its middle pixel (56, 31); at the scale
// kFar a grid square is 50 pixels wide, at kNear 200.
constexpr int kWidth = 113;
constexpr int kHeight = 63;
constexpr int kMiddleX = 56;
constexpr int kMiddleY = 31;
constexpr double kFar = 0.05;
constexpr double kNear = 0.2;
constexpr TestPoint kSpot{5500, 7500, 3};

MapImage Drawn(const std::vector<TestPoint>& rows, double scale = kFar, MapExtras extras = {},
               int width = kWidth) {
  const RecordTable table = TableOf(rows);
  const MapPoints points =
      MapPoints::Build(RecordTableSource(table), TableOrder(table.size()), ColourBy::kSc);
  const MapView view{width, kHeight, kSpot.x + (width - kWidth) / 2 / scale, kSpot.y, scale};
  MapImage image;
  DrawMap(points, nullptr, view, image, extras);
  return image;
}

struct PileCase {
  const char* fault;
  std::size_t records;
  int step;
};

void PrintTo(const PileCase& c, std::ostream* os) { *os << c.fault; }

class PileTest : public testing::TestWithParam<PileCase> {};

TEST_P(PileTest, DotSizeTellsHowManyRecordsLieThere) {
  const PileCase& c = GetParam();
  EXPECT_EQ(DensityStep(c.records), c.step) << c.fault;
  const MapImage image = Drawn(std::vector<TestPoint>(c.records, kSpot));
  const int radius = DotRadius(c.step);
  const Rgb fill = ClassColour(ColourBy::kSc, kSpot.sc);
  EXPECT_EQ(image.At(kMiddleX, kMiddleY), fill) << c.fault;
  EXPECT_EQ(image.At(kMiddleX + radius, kMiddleY), c.step == 0 ? fill : kPileEdge) << c.fault;
  // Below the dot: its tick (dir 0) points up.
  EXPECT_EQ(image.At(kMiddleX, kMiddleY + radius + 1), kMapBackground) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Cases, PileTest,
                         testing::Values(PileCase{"a lone record drawn as a pile", 1, 0},
                                         PileCase{"two records drawn as one", 2, 1},
                                         PileCase{"nine records past the second step", 9, 1},
                                         PileCase{"ten records not in the third step", 10, 2},
                                         PileCase{"99 records past the third step", 99, 2},
                                         PileCase{"100 records not in the last step", 100, 3},
                                         PileCase{"a large pile beyond the last step", 2500, 3}));

TEST(MapDensityTest, StepsGrowAndAreLabelled) {
  std::vector<std::string> labels;
  for (int step = 0; step < kDensitySteps; ++step) {
    if (step > 0) {
      EXPECT_GT(DotRadius(step), DotRadius(step - 1));
    }
    labels.push_back(DensityLabel(step));
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"1",
                                              "2\xE2\x80\x93"
                                              "9",
                                              "10\xE2\x80\x93"
                                              "99",
                                              "100+"}));
}

TEST(MapDensityTest, CellOfSeveralPointsDrawsOneDotAtTheirMean) {
  // 2 pixels a grid unit: the points lie at pixels 55 and 57 of one cell (55..59), so the dot
  // of two sits at 56 and reaches 3 pixels either side, to 53 and 59.
  const MapImage image = Drawn({{5498, 7500, 3}, {5502, 7500, 3}}, 0.5);
  EXPECT_EQ(image.At(kMiddleX - 3, kMiddleY), kPileEdge);
  EXPECT_EQ(image.At(kMiddleX + 3, kMiddleY), kPileEdge);
  EXPECT_EQ(image.At(kMiddleX + 4, kMiddleY), kMapBackground);
}

struct TickCase {
  const char* fault;
  std::int32_t dir;
  int dx, dy;  // the far end of the tick from the point's pixel
};

void PrintTo(const TickCase& c, std::ostream* os) { *os << c.fault; }

class TickTest : public testing::TestWithParam<TickCase> {};

TEST_P(TickTest, TickPointsTheWayOfTheDirection) {
  const TickCase& c = GetParam();
  const TickStep step = TickDirection(c.dir);
  EXPECT_EQ(std::lround(step.dx * kTickLengthPx), c.dx) << c.fault;
  EXPECT_EQ(std::lround(step.dy * kTickLengthPx), c.dy) << c.fault;
  const MapImage image = Drawn({{kSpot.x, kSpot.y, kSpot.sc, 0, c.dir}}, kNear);
  EXPECT_EQ(image.At(kMiddleX + c.dx, kMiddleY + c.dy), kTickColour) << c.fault;
  EXPECT_EQ(image.At(kMiddleX - c.dx, kMiddleY - c.dy), kMapBackground) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Cases, TickTest,
                         testing::Values(TickCase{"0 not up", 0, 0, -9},
                                         TickCase{"90 not to the right", 90, 9, 0},
                                         TickCase{"-90 not to the left", -90, -9, 0},
                                         TickCase{"-180 not down", -180, 0, 9},
                                         TickCase{"289 not left and a little up", 289, -9, -3},
                                         TickCase{"360 not a full turn", 360, 0, -9}));

TEST(MapTickTest, NoTicksBeforeDotsStandApart) {
  const MapImage image = Drawn({{kSpot.x, kSpot.y, kSpot.sc, 0, 0}}, kTickMinScale * 0.99);
  EXPECT_EQ(image.At(kMiddleX, kMiddleY - kTickLengthPx), kMapBackground);
  const MapImage ticked = Drawn({{kSpot.x, kSpot.y, kSpot.sc, 0, 0}}, kTickMinScale);
  EXPECT_EQ(ticked.At(kMiddleX, kMiddleY - kTickLengthPx), kTickColour);
}

TEST(MapGridTest, SquareEdgesDrawnOnlyWhenSquaresAreWide) {
  // The edges CoordX 5000 and CoordY 8000 lie 25 pixels left of and above the middle; zoomed
  // out twice a square is 25 pixels wide, below kGridLineMinPx.
  EXPECT_EQ(Drawn({kSpot}).At(kMiddleX - 25, 3), kGridLineColour);
  EXPECT_EQ(Drawn({kSpot}).At(3, kMiddleY - 25), kGridLineColour);
  EXPECT_EQ(Drawn({kSpot}, kFar / 2).At(kMiddleX - 12, 3), kMapBackground);
}

struct ScaleCase {
  const char* fault;
  double scale;
  std::int64_t units;
  const char* label;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.fault; }

class ScaleBarTest : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleBarTest, BarIsARoundLengthThatFits) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(ScaleBarUnits(c.scale), c.units) << c.fault;
  EXPECT_EQ(ScaleBarLabel(c.units), c.label) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleBarTest,
    testing::Values(ScaleCase{"a pixel a unit not 100", 1, 100, "100 units"},
                    ScaleCase{"2 times a power not chosen", 0.05, 2000, "2,000 units"},
                    ScaleCase{"an exact fit refused", 0.024, 5000, "5,000 units"},
                    ScaleCase{"below one unit", 64, 1, "1 unit"},
                    ScaleCase{"the whole grid", 1e-8, 10'000'000'000, "10,000,000,000 units"}));

TEST(MapExtrasTest, ScaleBarAndLegendAreDrawnWhenAsked) {
  constexpr int kWide = 400;
  const MapImage plain = Drawn({kSpot}, kFar, {}, kWide);
  const MapImage extras = Drawn({kSpot}, kFar, {.scaleBar = true, .legend = true}, kWide);
  // The bar (2,000 units, 100 pixels) starts 8 pixels in from the bottom left corner; the
  // legend's frame stands 8 pixels in from the top right one.
  EXPECT_EQ(plain.At(8, kHeight - 9), kMapBackground);
  EXPECT_EQ(extras.At(8, kHeight - 9), kScaleBarColour);
  EXPECT_EQ(extras.At(108, kHeight - 9), kScaleBarColour);
  EXPECT_EQ(extras.At(109, kHeight - 9), kMapBackground);
  EXPECT_EQ(plain.At(kWide - 9, 8), kMapBackground);
  EXPECT_NE(extras.At(kWide - 9, 8), kMapBackground);
}

TEST(MapTextTest, TextWidthCountsCharactersNotBytes) {
  EXPECT_EQ(TextWidth(""), 0);
  EXPECT_EQ(TextWidth("a"), kGlyphWidthPx);
  EXPECT_EQ(TextWidth("2\xE2\x80\x93"
                      "9"),
            3 * kGlyphAdvancePx - 1);
  EXPECT_EQ(DigitsGrouped(-1234567), "-1,234,567");
  EXPECT_EQ(DigitsGrouped(999), "999");
}

}  // namespace
