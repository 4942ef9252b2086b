#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/filter/record_filter.h"
#include "radardb/map/map_raster.h"
#include "radardb/records/load_database.h"
#include "tests/tools/cmd_csv_support.h"

using namespace radardb;

namespace {

struct PictureCase {
  const char* fault;
  std::vector<std::string> args;  // after the archive and -o map.png
  int width;
  int height;
  std::string filter;
  ColourBy colourBy;
  std::optional<GridBounds> area = std::nullopt;  // the region drawn; nothing: all points fitted
  bool legend = false;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.fault; }

class MapPictureTest : public testing::TestWithParam<PictureCase> {};

// The sample database's map from the tool has the size asked for, and is, pixel for pixel, the
// window's picture of the same rows fitted in: coloured where the points are, blank elsewhere.
TEST_P(MapPictureTest, DrawsTheSampleDatabaseAsTheWindowDoes) {
  const PictureCase& c = GetParam();
  ToolFolder folder;
  std::vector<std::string> args = {"map", KESTROLAN_SAMPLE_DATABASE, "-o", "map.png"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult result = folder.Run(args);
  ASSERT_EQ(result.status, 0) << c.fault << ": " << result.err;
  const QImage png(QString::fromStdString((folder.path() / "map.png").string()));
  ASSERT_EQ(png.width(), c.width) << c.fault;
  ASSERT_EQ(png.height(), c.height) << c.fault;

  const LoadOutcome loaded = LoadDatabase(KESTROLAN_SAMPLE_DATABASE);
  ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
  const RecordTableSource source(loaded.rows);
  RowOrder rows = TableOrder(loaded.rows.size());
  RecordFilter filter;
  ASSERT_TRUE(RecordFilter::Parse(c.filter, filter).ok());
  rows = MatchingRows(filter, source, rows);
  const MapPoints points = MapPoints::Build(source, rows, c.colourBy);
  const MapView view = FitView(c.area.value_or(points.Bounds()), c.width, c.height);
  for (const std::uint32_t row : c.area ? RowOrder() : rows) {
    const int x =
        static_cast<int>(std::lround(PixelX(view, source.Int(row, int(Column::kCoordX)))));
    const int y =
        static_cast<int>(std::lround(PixelY(view, source.Int(row, int(Column::kCoordY)))));
    ASSERT_NE(png.pixel(x, y), qRgb(kMapBackground.r, kMapBackground.g, kMapBackground.b))
        << c.fault << ": row " << row;
  }
  MapImage expected;
  DrawMap(points, nullptr, view, expected, {.scaleBar = c.legend, .legend = c.legend});
  int differing = 0;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      const Rgb rgb = expected.At(x, y);
      differing += png.pixel(x, y) != qRgb(rgb.r, rgb.g, rgb.b);
    }
  }
  EXPECT_EQ(differing, 0) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapPictureTest,
    testing::Values(
        PictureCase{"default size not 1024x768", {}, 1024, 768, "", ColourBy::kSc},
        PictureCase{"--size ignored", {"--size", "301x200"}, 301, 200, "", ColourBy::kSc},
        PictureCase{"--filter ignored or not fitted in",
                    {"--filter", "city:vellmarsk spd>=50", "--size", "120x90"},
                    120,
                    90,
                    "city:vellmarsk spd>=50",
                    ColourBy::kSc},
        PictureCase{"--color spd ignored", {"--color", "spd"}, 1024, 768, "", ColourBy::kSpd},
        PictureCase{"--area not the region drawn",
                    {"--area", "3100000..3130000,49150000..49190000", "--size", "400x300"},
                    400,
                    300,
                    "",
                    ColourBy::kSc,
                    GridBounds{3100000, 49150000, 3130000, 49190000}},
        PictureCase{"--area at a junction drawn without its ticks",
                    {"--area", "3112000..3114000,49169000..49170500", "--size", "400x300"},
                    400,
                    300,
                    "",
                    ColourBy::kSc,
                    GridBounds{3112000, 49169000, 3114000, 49170500}},
        PictureCase{"--legend left out or not the window's",
                    {"--legend", "--color", "spd"},
                    1024,
                    768,
                    "",
                    ColourBy::kSpd,
                    std::nullopt,
                    true}));

// Drawing the region all points span is drawing them fitted in.
TEST(MapTest, AreaOfThePointsBoundsIsTheFittedPicture) {
  const LoadOutcome loaded = LoadDatabase(KESTROLAN_SAMPLE_DATABASE);
  ASSERT_TRUE(loaded.status.ok()) << loaded.status.message();
  const GridBounds b = MapPoints::Build(RecordTableSource(loaded.rows),
                                        TableOrder(loaded.rows.size()), ColourBy::kSc)
                           .Bounds();
  ToolFolder folder;
  const std::string area = std::to_string(b.minX) + ".." + std::to_string(b.maxX) + "," +
                           std::to_string(b.minY) + ".." + std::to_string(b.maxY);
  const ToolResult fitted = folder.Run({"map", KESTROLAN_SAMPLE_DATABASE, "-o", "-"});
  const ToolResult region =
      folder.Run({"map", KESTROLAN_SAMPLE_DATABASE, "-o", "-", "--area", area});
  ASSERT_EQ(region.status, 0) << region.err;
  EXPECT_EQ(region.out, fitted.out);
}

TEST(MapTest, DashWritesThePngToStandardOutput) {
  ToolFolder folder;
  const ToolResult result =
      folder.Run({"map", KESTROLAN_SAMPLE_DATABASE, "-o", "-", "--size", "40x30"});
  EXPECT_EQ(result.status, 0) << result.err;
  const QImage png = QImage::fromData(
      QByteArray::fromRawData(result.out.data(), static_cast<qsizetype>(result.out.size())), "PNG");
  EXPECT_EQ(png.size(), QSize(40, 30));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{});
}

constexpr char kMapUsage[] =
    "usage: kestrolan-db map ARCHIVE -o FILE.png [--filter EXPR] [--size WxH] [--color sc|spd] "
    "[--area X0..X1,Y0..Y1] [--legend]\n";

struct RefusalCase {
  const char* fault;
  std::vector<std::string> args;  // after "map"
  int status;
  std::string err;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.fault; }

class MapRefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(MapRefusalTest, WritesNothingAndSaysWhy) {
  const RefusalCase& c = GetParam();
  ToolFolder folder;
  WriteFileBytes(folder.path() / "radar.lzw", ReadFileBytes(KESTROLAN_SAMPLE_DATABASE));
  std::vector<std::string> args = {"map"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult result = folder.Run(args);
  EXPECT_EQ(result.status, c.status) << c.fault;
  EXPECT_EQ(result.err, c.err) << c.fault;
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"radar.lzw"}) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapRefusalTest,
    testing::Values(RefusalCase{"a filter that does not parse drawn",
                                {"radar.lzw", "-o", "m.png", "--filter", "spd>=x"},
                                2,
                                "kestrolan-db map: --filter: bad number 'x' in 'spd>=x'\n"},
                    RefusalCase{"an area without its Y range drawn",
                                {"radar.lzw", "-o", "m.png", "--area", "1..2"},
                                2,
                                "kestrolan-db map: --area: bad area '1..2': write X0..X1,Y0..Y1 "
                                "in grid units\n" +
                                    std::string(kMapUsage)},
                    RefusalCase{"a reversed area drawn",
                                {"radar.lzw", "-o", "m.png", "--area", "1..2,9..3"},
                                2,
                                "kestrolan-db map: --area: bad area '1..2,9..3': Y0 is above "
                                "Y1\n" +
                                    std::string(kMapUsage)},
                    RefusalCase{"an area of words drawn",
                                {"radar.lzw", "-o", "m.png", "--area", "a..5,1..2"},
                                2,
                                "kestrolan-db map: --area: bad area 'a..5,1..2': 'a' is not a "
                                "whole number\n" +
                                    std::string(kMapUsage)},
                    RefusalCase{"a missing archive drawn",
                                {"gone.lzw", "-o", "m.png"},
                                1,
                                "LZW file not found\n"}));

}  // namespace
