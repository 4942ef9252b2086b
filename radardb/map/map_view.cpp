#include "radardb/map/map_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace radardb {

namespace {

// The pixel position of the picture's centre.
double MiddleX(const MapView& view) { return (view.width - 1) / 2.0; }
double MiddleY(const MapView& view) { return (view.height - 1) / 2.0; }

// The whole grid positions from `low` to `high`, as far as an int32 holds them.
bool WholeRange(double low, double high, std::int32_t& first, std::int32_t& last) {
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  const double from = std::max(std::ceil(low), kLowest);
  const double to = std::min(std::floor(high), kHighest);
  if (!(from <= to)) return false;
  first = static_cast<std::int32_t>(from);
  last = static_cast<std::int32_t>(to);
  return true;
}

}  // namespace

double PixelX(const MapView& view, double x) {
  return (x - view.centreX) * view.scale + MiddleX(view);
}
double PixelY(const MapView& view, double y) {
  return MiddleY(view) - (y - view.centreY) * view.scale;
}
double GridX(const MapView& view, double pixelX) {
  return view.centreX + (pixelX - MiddleX(view)) / view.scale;
}
double GridY(const MapView& view, double pixelY) {
  return view.centreY - (pixelY - MiddleY(view)) / view.scale;
}

MapView FitView(const GridBounds& bounds, int width, int height) {
  MapView view{.width = std::max(width, 1),
               .height = std::max(height, 1),
               .centreX = (double(bounds.minX) + bounds.maxX) / 2,
               .centreY = (double(bounds.minY) + bounds.maxY) / 2};
  const double roomX = std::max(view.width - 1 - 2 * kFitMarginPx, 1);
  const double roomY = std::max(view.height - 1 - 2 * kFitMarginPx, 1);
  const double spanX = double(bounds.maxX) - bounds.minX;
  const double spanY = double(bounds.maxY) - bounds.minY;
  double scale = std::numeric_limits<double>::infinity();
  if (spanX > 0) scale = roomX / spanX;
  if (spanY > 0) scale = std::min(scale, roomY / spanY);
  if (std::isinf(scale)) scale = std::min(roomX, roomY) / kSquareUnits;
  view.scale = std::clamp(scale, kMinScale, kMaxScale);
  return view;
}

MapView Zoomed(const MapView& view, double factor, double pixelX, double pixelY) {
  MapView zoomed = view;
  const double x = GridX(view, pixelX);
  const double y = GridY(view, pixelY);
  zoomed.scale = std::clamp(view.scale * factor, kMinScale, kMaxScale);
  zoomed.centreX = x - (pixelX - MiddleX(view)) / zoomed.scale;
  zoomed.centreY = y + (pixelY - MiddleY(view)) / zoomed.scale;
  return zoomed;
}

MapView Panned(const MapView& view, double dx, double dy) {
  MapView panned = view;
  panned.centreX -= dx / view.scale;
  panned.centreY += dy / view.scale;
  return panned;
}

bool AnyPointInView(const MapPoints& points, const MapView& view) {
  const double minX = GridX(view, -0.5);
  const double maxX = GridX(view, view.width - 0.5);
  const double minY = GridY(view, view.height - 0.5);
  const double maxY = GridY(view, -0.5);
  bool any = false;
  points.VisitNear(minX, minY, maxX, maxY, [&](const MapPoints::Run& run) {
    for (std::size_t i = 0; i < run.count && !any; ++i) {
      any = run.xs[i] >= minX && run.xs[i] <= maxX && run.ys[i] >= minY && run.ys[i] <= maxY;
    }
  });
  return any;
}

std::optional<MapView> ZoomedOnDot(const MapPoints& points, const MapView& view, double pixelX,
                                   double pixelY) {
  const double x = GridX(view, pixelX);
  const double y = GridY(view, pixelY);
  const double reach = kDotPickPx / view.scale;
  std::optional<GridBounds> under;
  points.VisitNear(x - reach, y - reach, x + reach, y + reach, [&](const MapPoints::Run& run) {
    for (std::size_t i = 0; i < run.count; ++i) {
      if (std::abs(run.xs[i] - x) > reach || std::abs(run.ys[i] - y) > reach) continue;
      if (!under) under = GridBounds{run.xs[i], run.ys[i], run.xs[i], run.ys[i]};
      under->minX = std::min(under->minX, run.xs[i]);
      under->minY = std::min(under->minY, run.ys[i]);
      under->maxX = std::max(under->maxX, run.xs[i]);
      under->maxY = std::max(under->maxY, run.ys[i]);
    }
  });
  if (!under) return std::nullopt;
  const bool onePosition = under->minX == under->maxX && under->minY == under->maxY;
  const MapView fitted = FitView(*under, view.width, view.height);
  if (!onePosition && fitted.scale > view.scale) return fitted;
  return Zoomed(view, kSeparateZoom, pixelX, pixelY);
}

std::optional<GridBox> BoxBetween(const MapView& view, double x0, double y0, double x1, double y1) {
  GridBox box;
  // CoordY grows upward, so the box's lowest row lies at its bottom edge.
  if (!WholeRange(GridX(view, std::min(x0, x1)), GridX(view, std::max(x0, x1)), box.minX,
                  box.maxX) ||
      !WholeRange(GridY(view, std::max(y0, y1)), GridY(view, std::min(y0, y1)), box.minY,
                  box.maxY)) {
    return std::nullopt;
  }
  return box;
}

std::string BoxFilterTerms(const GridBox& box) {
  return "coordx=" + std::to_string(box.minX) + ".." + std::to_string(box.maxX) +
         " coordy=" + std::to_string(box.minY) + ".." + std::to_string(box.maxY);
}

}  // namespace radardb
