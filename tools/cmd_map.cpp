// kestrolan-db map: draws the grid positions of a database's records as a PNG picture, the same
// picture the viewer's map shows when it fits all points in.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

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
};

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
  DrawMap(points, nullptr, FitView(points.Bounds(), args.width, args.height), image);
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
  return [args] { return RunMap(*args); };
}

}  // namespace

extern const Command kMapCommand = {
    "map", "ARCHIVE -o FILE.png [--filter EXPR] [--size WxH] [--color sc|spd]",
    "draws the records' grid positions (CoordX across, CoordY upward) as a PNG picture, all of "
    "them fitted in, as the viewer's map shows them (- for standard output); --filter draws "
    "only the records the expression matches, --size sets the picture's pixels (default "
    "1024x768), --color colours the points by category (sc, the default) or by speed (spd)",
    DefineMap};
