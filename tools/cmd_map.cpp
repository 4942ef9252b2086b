// kestrolan-db map: draws the grid positions of a database's records as a PNG picture, the same
// picture the viewer's map shows when it fits all points in.
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_raster.h"
#include "radardb/map/map_view.h"
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

std::optional<MapArgs> ParseMapArgs(const CommandArgs& args) {
  MapArgs parsed;
  bool haveOutput = false;
  bool haveSize = false;
  bool haveColour = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool valued = i + 1 < args.size();
    if (args[i] == "-o" && valued && !haveOutput) {
      parsed.png = args[++i];
      haveOutput = !parsed.png.empty();
    } else if (args[i] == "--filter" && valued && !parsed.filter) {
      parsed.filter = args[++i];
    } else if (args[i] == "--size" && valued && !haveSize) {
      if (!ParseSize(args[++i], parsed.width, parsed.height)) return std::nullopt;
      haveSize = true;
    } else if (args[i] == "--color" && valued && !haveColour) {
      const std::optional<ColourBy> by = ColourNamed(args[++i]);
      if (!by) return std::nullopt;
      parsed.colourBy = *by;
      haveColour = true;
    } else if (parsed.archive.empty() && !args[i].empty() && args[i][0] != '-') {
      parsed.archive = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (parsed.archive.empty() || !haveOutput) return std::nullopt;
  return parsed;
}

int RunMap(const CommandArgs& args) {
  const std::optional<MapArgs> parsed = ParseMapArgs(args);
  if (!parsed) return UsageError(CommandNamed("map"));
  FilteredLoad loaded;
  const int failed = LoadFiltered("map", parsed->archive, parsed->filter, parsed->png, loaded);
  if (failed != 0) return failed;
  const MapPoints points =
      MapPoints::Build(RecordTableSource(loaded.rows), loaded.picked, parsed->colourBy);
  MapImage image;
  DrawMap(points, nullptr, FitView(points.Bounds(), parsed->width, parsed->height), image);
  std::string png;
  Status status = EncodePng(image, png);
  if (status.ok()) status = platform::WriteOutputFile(parsed->png, png);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db map: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kMapCommand = {
    "map", "ARCHIVE -o FILE.png [--filter EXPR] [--size WxH] [--color sc|spd]",
    "draws the records' grid positions (CoordX across, CoordY upward) as a PNG picture, all of "
    "them fitted in, as the viewer's map shows them (- for standard output); --filter draws "
    "only the records the expression matches, --size sets the picture's pixels (default "
    "1024x768), --color colours the points by category (sc, the default) or by speed (spd)",
    RunMap};
