#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "radardb/map/map_points.h"

namespace radardb {

// What part of the grid a picture of `width` x `height` pixels shows, and how large: the grid
// position (centreX, centreY) lies at the picture's centre and one grid unit is `scale` pixels
// long. CoordX grows to the right, CoordY upward. Pixel (0, 0) is the top left one; pixel
// positions name pixel centres, so pixel (i, j) covers [i - 0.5, i + 0.5) x [j - 0.5, j + 0.5).
struct MapView {
  int width = 1;
  int height = 1;
  double centreX = 0;
  double centreY = 0;
  double scale = 1;  // pixels per grid unit
};

// Free space kept around the points by FitView, in pixels, so their dots show whole.
inline constexpr int kFitMarginPx = 6;
// The scales a view may have: from a whole grid (CoordY reaches about 6e8) in a few pixels to a
// grid unit many pixels long.
inline constexpr double kMinScale = 1e-8;
inline constexpr double kMaxScale = 64;
// The width shown by FitView for points that all lie on one grid position: one grid square.
inline constexpr double kSquareUnits = 1000;

double PixelX(const MapView& view, double x);
double PixelY(const MapView& view, double y);
double GridX(const MapView& view, double pixelX);
double GridY(const MapView& view, double pixelY);

// The view of a picture `width` x `height` pixels (at least 1 each) that shows all of `bounds`
// as large as fits within kFitMarginPx of the edges, centred.
MapView FitView(const GridBounds& bounds, int width, int height);
// `view` zoomed by `factor` (above 1: larger) with the scale kept within [kMinScale, kMaxScale];
// the grid position at pixel (pixelX, pixelY) stays there.
MapView Zoomed(const MapView& view, double factor, double pixelX, double pixelY);
// `view` with its content moved by (dx, dy) pixels, as when dragged by the pointer.
MapView Panned(const MapView& view, double dx, double dy);

// True when a point of `points` lies within the picture of `view`: when a view the user chose
// still shows some of new points, it is kept; when not, the map fits the points again.
bool AnyPointInView(const MapPoints& points, const MapView& view);

// The view that pulls apart the points under the dot at pixel (pixelX, pixelY) of `view` (those
// within kDotPickPx of it): fitted to them when that zooms in, else `view` zoomed by
// kSeparateZoom around the pixel (they share a position, or are already as far apart as fits).
// Nothing when no point is there.
inline constexpr double kDotPickPx = 6;
inline constexpr double kSeparateZoom = 4;
std::optional<MapView> ZoomedOnDot(const MapPoints& points, const MapView& view, double pixelX,
                                   double pixelY);

// A box of grid positions, both ends inclusive.
struct GridBox {
  std::int32_t minX = 0;
  std::int32_t maxX = 0;
  std::int32_t minY = 0;
  std::int32_t maxY = 0;
};
// The grid positions that `view` shows within the rectangle between two pixel positions, given
// in either order; nothing when no grid position falls inside.
std::optional<GridBox> BoxBetween(const MapView& view, double x0, double y0, double x1, double y1);
// The filter terms that match exactly the rows inside `box`: "coordx=A..B coordy=C..D".
std::string BoxFilterTerms(const GridBox& box);

}  // namespace radardb
