#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "radardb/map/map_colours.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_view.h"

namespace radardb {

// A picture of the map: opaque pixels, row after row from the top, each a 32-bit value
// 0xFFRRGGBB (the layout of Qt's QImage::Format_RGB32, so a window shows it without a copy).
class MapImage {
 public:
  int width() const { return width_; }
  int height() const { return height_; }
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  Rgb At(int x, int y) const;

 private:
  friend void DrawMap(const MapPoints&, const MapPoints*, const MapView&, MapImage&);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  // Drawing's scratch: per pixel, 0 or 1 + the class of a point drawn there.
  std::vector<std::uint8_t> classAt_;
};

// The colour around the points, and the ring drawn around a highlighted point.
inline constexpr Rgb kMapBackground{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kHighlightRing{0x00, 0x00, 0x00};
// A point is a square dot (2 * kDotRadiusPx + 1) pixels wide at its pixel; a highlighted one sits
// in a ring kHighlightRingPx wider on every side.
inline constexpr int kDotRadiusPx = 2;
inline constexpr int kHighlightRingPx = 1;

// Draws `points` as `view` shows them into `image`, which takes the view's size: each point whose
// pixel lies in the picture is a dot of its class's colour on kMapBackground. Points that fall on
// the same pixel make one dot. Then each of `highlighted` (if given: points drawn with the same
// colouring, such as the selected rows) is drawn again inside a kHighlightRing ring, over the
// rest.
void DrawMap(const MapPoints& points, const MapPoints* highlighted, const MapView& view,
             MapImage& image);

// One entry of the map's legend: a colour, what it stands for and how many points have it.
struct LegendEntry {
  Rgb colour;
  std::string label;
  std::size_t count;
};
// The legend of `points`: one entry per class that has points, in class order.
std::vector<LegendEntry> MapLegend(const MapPoints& points);

}  // namespace radardb
