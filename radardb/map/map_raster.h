#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "radardb/map/map_colours.h"
#include "radardb/map/map_marks.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_view.h"

namespace radardb {

// What DrawMap draws over the points: the scale bar in the bottom left corner, and the legend
// (the colours with their counts, the dot sizes, the direction's convention) in the top right.
struct MapExtras {
  bool scaleBar = false;
  bool legend = false;
};

// The points of one cell of kDensityCellPx pixels: how many, the sum of their pixel positions
// and the class of the first.
struct DensityCell {
  std::uint32_t count;
  std::uint8_t cls;
  double sumX;
  double sumY;
};

// A picture of the map: opaque pixels, row after row from the top, each a 32-bit value
// 0xFFRRGGBB (the layout of Qt's QImage::Format_RGB32, so a window shows it without a copy).
class MapImage {
 public:
  int width() const { return width_; }
  int height() const { return height_; }
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  Rgb At(int x, int y) const;
  // Paints one pixel, or the pixels of the box from (x0, y0) to (x1, y1), both inclusive; what
  // lies outside the picture is left out.
  void Set(int x, int y, Rgb colour);
  void Fill(int x0, int y0, int x1, int y1, Rgb colour);

 private:
  friend void DrawMap(const MapPoints&, const MapPoints*, const MapView&, MapImage&,
                      const MapExtras&);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  // Drawing's scratch: per pixel, 0 or 1 + the class of a point drawn there; per density cell,
  // the points counted there.
  std::vector<std::uint8_t> classAt_;
  std::vector<DensityCell> cells_;
};

// The colour around the points, the ring drawn around a highlighted point, the edge of a dot of
// several records, the direction ticks, the grid squares' lines and the scale bar.
inline constexpr Rgb kMapBackground{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kHighlightRing{0x00, 0x00, 0x00};
inline constexpr Rgb kPileEdge{0x40, 0x40, 0x40};
inline constexpr Rgb kTickColour{0x20, 0x20, 0x20};
inline constexpr Rgb kGridLineColour{0xE4, 0xE4, 0xE4};
inline constexpr Rgb kScaleBarColour{0x20, 0x20, 0x20};
// A highlighted point sits in a ring kHighlightRingPx wider on every side than a dot of one.
inline constexpr int kHighlightRingPx = 1;

// Draws `points` as `view` shows them into `image`, which takes the view's size, on
// kMapBackground: first the grid squares' edges when GridLinesShown; then the points whose pixel
// lies in the picture, counted by cells of kDensityCellPx pixels, each cell's points one square
// dot at their mean pixel, in the colour of the cell's first point, DotRadius(DensityStep(count))
// wide (edged with kPileEdge when it stands for several), larger dots under smaller ones. Then
// each of `highlighted` (if given: points drawn with the same colouring, such as the selected
// rows) is drawn again as a dot of one inside a kHighlightRing ring, over the rest. When
// TicksShown, every point then draws its direction's tick from its pixel. Last the `extras`.
void DrawMap(const MapPoints& points, const MapPoints* highlighted, const MapView& view,
             MapImage& image, const MapExtras& extras = {});

// One entry of the map's legend: a colour, what it stands for and how many points have it.
struct LegendEntry {
  Rgb colour;
  std::string label;
  std::size_t count;
};
// The legend of `points`: one entry per class that has points, in class order.
std::vector<LegendEntry> MapLegend(const MapPoints& points);

}  // namespace radardb
