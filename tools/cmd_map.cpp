// kestrolan-db map: draws the grid positions of a database's records as a PNG picture, the same
// picture the viewer's map shows when it fits all points in (or the region asked for), with the
// legend and scale bar when asked.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/output_file.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_raster.h"
#include "radardb/map/map_view.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"
#include "tools/filtered_load.h"
#include "tools/png_writer.h"

using namespace radardb;
using platform::Status;

namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;

struct MapArgs {
  std::string archive;
  std::string png;
  std::optional<std::string> filter;
  int width = kDefaultWidth;
  int height = kDefaultHeight;
  ColourBy colourBy = ColourBy::kSc;
  std::optional<GridBounds> area;
  bool legend = false;
};

bool ParseWhole(std::string_view text, std::int32_t& value) {
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && stop == text.data() + text.size();
}

// "X0..X1,Y0..Y1", whole grid positions with X0 <= X1 and Y0 <= Y1; the empty text on success,
// else what is wrong.
std::string ParseArea(std::string_view text, GridBounds& area) {
  constexpr char kForm[] = "write X0..X1,Y0..Y1 in grid units";
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return kForm;
  const auto range = [&](std::string_view part, const char* axis, std::int32_t& low,
                         std::int32_t& high) -> std::string {
    const std::size_t dots = part.find("..");
    if (dots == std::string_view::npos) return kForm;
    const std::string_view ends[2] = {part.substr(0, dots), part.substr(dots + 2)};
    std::int32_t* values[2] = {&low, &high};
    for (int i = 0; i < 2; ++i) {
      if (!ParseWhole(ends[i], *values[i])) {
        return "'" + PrintableText(std::string(ends[i])) + "' is not a whole number";
      }
    }
    if (low > high) return std::string(axis) + "0 is above " + axis + "1";
    return {};
  };
  std::string wrong = range(text.substr(0, comma), "X", area.minX, area.maxX);
  if (wrong.empty()) wrong = range(text.substr(comma + 1), "Y", area.minY, area.maxY);
  return wrong;
}

// "WxH", each side from 1 to kMaxPngSide.
bool ParseSize(const std::string& text, int& width, int& height) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  const auto side = [](const char* begin, const char* end, int& value) {
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && value >= 1 && value <= kMaxPngSide;
  };
  return side(text.data(), text.data() + x, width) &&
         side(text.data() + x + 1, text.data() + text.size(), height);
}

int RunMap(const MapArgs& args) {
  FilteredLoad loaded;
  const int failed = LoadFiltered("map", args.archive, args.filter, args.png, loaded);
  if (failed != kExitSuccess) return failed;
  const MapPoints points =
      MapPoints::Build(RecordTableSource(loaded.rows), loaded.picked, args.colourBy);
  MapImage image;
  DrawMap(points, nullptr, FitView(args.area.value_or(points.Bounds()), args.width, args.height),
          image, {.scaleBar = args.legend, .legend = args.legend});
  std::string png;
  Status status = EncodePng(image, png);
  if (status.ok()) status = platform::WriteOutputFile(args.png, png);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db map: %s\n", status.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefineMap(CLI::App& app) {
  auto args = std::make_shared<MapArgs>();
  app.add_option("ARCHIVE", args->archive, "the archive to draw")->required()->check(kNotEmpty);
  app.add_option("-o", args->png, "the PNG picture (- for standard output)")
      ->required()
      ->check(kNotEmpty);
  app.add_option("--filter", args->filter, "only the records this filter expression matches");
  app.add_option_function<std::string>(
      "--size",
      [args](const std::string& size) {
        if (!ParseSize(size, args->width, args->height)) {
          throw CLI::ValidationError("--size", "bad size '" + PrintableText(size) +
                                                   "': width and height are 1 to " +
                                                   std::to_string(kMaxPngSide));
        }
      },
      "the picture's width and height in pixels, WxH (default 1024x768)");
  app.add_option_function<std::string>(
      "--color",
      [args](const std::string& name) {
        const std::optional<ColourBy> by = ColourNamed(name);
        if (!by) {
          throw CLI::ValidationError("--color",
                                     "unknown colouring '" + PrintableText(name) + "': sc or spd");
        }
        args->colourBy = *by;
      },
      "colour the points by category (sc, the default) or by speed (spd)");
  app.add_option_function<std::string>(
      "--area",
      [args](const std::string& text) {
        GridBounds area;
        const std::string wrong = ParseArea(text, area);
        if (!wrong.empty()) {
          throw CLI::ValidationError("--area", "bad area '" + PrintableText(text) + "': " + wrong);
        }
        args->area = area;
      },
      "draw the region X0..X1,Y0..Y1 of the grid (CoordX, CoordY) instead of fitting all points");
  app.add_flag("--legend", args->legend, "draw the legend and the scale bar into the picture");
  return [args] { return RunMap(*args); };
}

}  // namespace

extern const Command kMapCommand = {
    "map",
    "ARCHIVE -o FILE.png [--filter EXPR] [--size WxH] [--color sc|spd] [--area X0..X1,Y0..Y1] "
    "[--legend]",
    "draws the records' grid positions (CoordX across, CoordY upward) as a PNG picture, all of "
    "them fitted in, as the viewer's map shows them, dots sized by the records they stand for and "
    "direction ticks once dots stand apart (- for standard output); --filter draws only the "
    "records the expression matches, --size sets the picture's pixels (default 1024x768), "
    "--color colours the points by category (sc, the default) or by speed (spd), --area draws "
    "that region of the grid instead, --legend adds the legend and the scale bar",
    DefineMap};
