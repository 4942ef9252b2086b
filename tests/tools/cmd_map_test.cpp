#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
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
  const MapView view = FitView(points.Bounds(), c.width, c.height);
  for (const std::uint32_t row : rows) {
    const int x =
        static_cast<int>(std::lround(PixelX(view, source.Int(row, int(Column::kCoordX)))));
    const int y =
        static_cast<int>(std::lround(PixelY(view, source.Int(row, int(Column::kCoordY)))));
    ASSERT_NE(png.pixel(x, y), qRgb(kMapBackground.r, kMapBackground.g, kMapBackground.b))
        << c.fault << ": row " << row;
  }
  MapImage expected;
  DrawMap(points, nullptr, view, expected);
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
        PictureCase{"--color spd ignored", {"--color", "spd"}, 1024, 768, "", ColourBy::kSpd}));

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
                    RefusalCase{"a missing archive drawn",
                                {"gone.lzw", "-o", "m.png"},
                                1,
                                "LZW file not found\n"}));

}  // namespace
