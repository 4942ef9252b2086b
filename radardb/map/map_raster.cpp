#include "radardb/map/map_raster.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "radardb/map/map_overlay.h"

namespace radardb {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

std::uint32_t PixelOf(Rgb c) {
  return kOpaque | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

// Calls visit(run, i, px, py) for each point i of a run of `points` whose pixel (px, py) lies in
// the picture of `view`.
template <typename Visit>
void ForEachPixel(const MapPoints& points, const MapView& view, Visit&& visit) {
  // PixelX(x) = x * scale + offsetX, and the same for rows with the sign turned.
  const double offsetX = PixelX(view, 0);
  const double offsetY = PixelY(view, 0);
  const double scale = view.scale;
  const double right = view.width;
  const double bottom = view.height;
  // The grid box the picture shows, a little larger so rounding loses no point at its edges.
  const double slack = 1 / view.scale;
  points.VisitNear(GridX(view, -0.5) - slack, GridY(view, view.height - 0.5) - slack,
                   GridX(view, view.width - 0.5) + slack, GridY(view, -0.5) + slack,
                   [&](const MapPoints::Run& run) {
                     for (std::size_t i = 0; i < run.count; ++i) {
                       // +0.5 turns the truncation below into rounding to the nearest pixel.
                       const double px = run.xs[i] * scale + offsetX + 0.5;
                       const double py = offsetY - run.ys[i] * scale + 0.5;
                       if (!(px >= 0 && px < right && py >= 0 && py < bottom)) continue;
                       visit(run, i, static_cast<int>(px), static_cast<int>(py));
                     }
                   });
}

// Marks in `classAt` (one byte per pixel of the view) the pixel of every point of `points` in
// the view with 1 + its class. Returns false when no point was marked.
bool MarkPixels(const MapPoints& points, const MapView& view, std::vector<std::uint8_t>& classAt) {
  const auto width = static_cast<std::size_t>(view.width);
  bool marked = false;
  ForEachPixel(points, view, [&](const MapPoints::Run& run, std::size_t i, int px, int py) {
    classAt[std::size_t(py) * width + std::size_t(px)] =
        static_cast<std::uint8_t>(run.classes[i] + 1);
    marked = true;
  });
  return marked;
}

// Fills a square of `radius` pixels around every marked pixel of `classAt`, with the colour of
// its class (`colours`, by class + 1) or with `only` when given; clears the marks.
void StampSquares(std::vector<std::uint8_t>& classAt, int radius, const std::uint32_t* colours,
                  const std::uint32_t* only, int width, int height, std::uint32_t* pixels) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* marks = classAt.data() + std::size_t(y) * std::size_t(width);
    const int top = std::max(y - radius, 0);
    const int bottom = std::min(y + radius, height - 1);
    for (int x = 0; x < width; ++x) {
      if (marks[x] == 0) continue;
      const std::uint32_t colour = only != nullptr ? *only : colours[marks[x]];
      marks[x] = 0;
      const int left = std::max(x - radius, 0);
      const int right = std::min(x + radius, width - 1);
      for (int row = top; row <= bottom; ++row) {
        std::uint32_t* line = pixels + std::size_t(row) * std::size_t(width);
        std::fill(line + left, line + right + 1, colour);
      }
    }
  }
}

void DrawGridLines(const MapView& view, MapImage& image) {
  const auto lines = [&](double low, double high, auto draw) {
    for (double at = std::ceil(low / kSquareUnits) * kSquareUnits; at <= high; at += kSquareUnits) {
      draw(static_cast<int>(std::lround(at)));
    }
  };
  const int right = view.width - 1;
  const int bottom = view.height - 1;
  lines(GridX(view, -0.5), GridX(view, right + 0.5), [&](int x) {
    const auto px = static_cast<int>(std::lround(PixelX(view, x)));
    image.Fill(px, 0, px, bottom, kGridLineColour);
  });
  lines(GridY(view, bottom + 0.5), GridY(view, -0.5), [&](int y) {
    const auto py = static_cast<int>(std::lround(PixelY(view, y)));
    image.Fill(0, py, right, py, kGridLineColour);
  });
}

// Counts the points of the view into `cells` (kDensityCellPx pixels a side, `across` a row).
void CountCells(const MapPoints& points, const MapView& view, std::size_t across,
                std::vector<DensityCell>& cells) {
  ForEachPixel(points, view, [&](const MapPoints::Run& run, std::size_t i, int px, int py) {
    DensityCell& cell =
        cells[std::size_t(py / kDensityCellPx) * across + std::size_t(px / kDensityCellPx)];
    if (cell.count++ == 0) cell.cls = run.classes[i];
    cell.sumX += px;
    cell.sumY += py;
  });
}

void DrawDensityDots(const std::vector<DensityCell>& cells, const std::uint32_t* colours,
                     MapImage& image, std::uint32_t* pixels) {
  const int width = image.width();
  const int height = image.height();
  const std::uint32_t edge = PixelOf(kPileEdge);
  for (int step = kDensitySteps - 1; step >= 0; --step) {
    const int radius = DotRadius(step);
    for (const DensityCell& cell : cells) {
      if (cell.count == 0 || DensityStep(cell.count) != step) continue;
      const auto x = static_cast<int>(std::lround(cell.sumX / cell.count));
      const auto y = static_cast<int>(std::lround(cell.sumY / cell.count));
      const int left = std::max(x - radius, 0);
      const int right = std::min(x + radius, width - 1);
      const int top = std::max(y - radius, 0);
      const int bottom = std::min(y + radius, height - 1);
      for (int row = top; row <= bottom; ++row) {
        std::uint32_t* line = pixels + std::size_t(row) * std::size_t(width);
        std::fill(line + left, line + right + 1, colours[cell.cls + 1]);
        if (step == 0) continue;
        if (row == y - radius || row == y + radius) {
          std::fill(line + left, line + right + 1, edge);
        } else {
          if (left == x - radius) line[left] = edge;
          if (right == x + radius) line[right] = edge;
        }
      }
    }
  }
}

// The pixel offsets of a tick, by direction from -360 to 359.
using TickPixels = std::array<std::array<std::int8_t, 2>, kTickLengthPx>;
const std::array<TickPixels, 720>& TickTable() {
  static const std::array<TickPixels, 720> table = [] {
    std::array<TickPixels, 720> offsets{};
    for (int dir = -360; dir < 360; ++dir) {
      const TickStep step = TickDirection(dir);
      for (int i = 0; i < kTickLengthPx; ++i) {
        offsets[std::size_t(dir + 360)][std::size_t(i)] = {
            static_cast<std::int8_t>(std::lround(step.dx * (i + 1))),
            static_cast<std::int8_t>(std::lround(step.dy * (i + 1)))};
      }
    }
    return offsets;
  }();
  return table;
}

void DrawTicks(const MapPoints& points, const MapView& view, std::uint32_t* pixels) {
  const std::array<TickPixels, 720>& table = TickTable();
  const std::uint32_t colour = PixelOf(kTickColour);
  const int width = view.width;
  const int height = view.height;
  ForEachPixel(points, view, [&](const MapPoints::Run& run, std::size_t i, int px, int py) {
    for (const auto& [dx, dy] : table[std::size_t(run.dirs[i] + 360)]) {
      const int x = px + dx;
      const int y = py + dy;
      if (x < 0 || x >= width || y < 0 || y >= height) break;
      pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = colour;
    }
  });
}

}  // namespace

Rgb MapImage::At(int x, int y) const {
  const std::uint32_t p = pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

void MapImage::Set(int x, int y, Rgb colour) { Fill(x, y, x, y, colour); }

void MapImage::Fill(int x0, int y0, int x1, int y1, Rgb colour) {
  const int left = std::max(std::min(x0, x1), 0);
  const int right = std::min(std::max(x0, x1), width_ - 1);
  const int top = std::max(std::min(y0, y1), 0);
  const int bottom = std::min(std::max(y0, y1), height_ - 1);
  for (int y = top; y <= bottom; ++y) {
    std::uint32_t* line = pixels_.data() + std::size_t(y) * std::size_t(width_);
    for (int x = left; x <= right; ++x) line[x] = PixelOf(colour);
  }
}

void DrawMap(const MapPoints& points, const MapPoints* highlighted, const MapView& view,
             MapImage& image, const MapExtras& extras) {
  image.width_ = view.width;
  image.height_ = view.height;
  const std::size_t area = std::size_t(view.width) * std::size_t(view.height);
  image.pixels_.assign(area, PixelOf(kMapBackground));
  if (GridLinesShown(view)) DrawGridLines(view, image);

  // Colours by 1 + class, so a mark's value picks its colour directly.
  std::array<std::uint32_t, 256> colours{};
  const ColourBy by = points.Colouring();
  for (int cls = 0; cls < ClassCount(by); ++cls) colours[cls + 1] = PixelOf(ClassColour(by, cls));

  const std::size_t across = std::size_t(view.width + kDensityCellPx - 1) / kDensityCellPx;
  const std::size_t down = std::size_t(view.height + kDensityCellPx - 1) / kDensityCellPx;
  image.cells_.assign(across * down, DensityCell{});
  CountCells(points, view, across, image.cells_);
  DrawDensityDots(image.cells_, colours.data(), image, image.pixels_.data());

  image.classAt_.assign(area, 0);
  if (highlighted != nullptr && MarkPixels(*highlighted, view, image.classAt_)) {
    // Rings first, then the dots inside them, so one ring never covers another's dot.
    std::vector<std::uint8_t> dots = image.classAt_;
    const std::uint32_t ring = PixelOf(kHighlightRing);
    StampSquares(image.classAt_, kDotRadiusPx + kHighlightRingPx, colours.data(), &ring, view.width,
                 view.height, image.pixels_.data());
    StampSquares(dots, kDotRadiusPx, colours.data(), nullptr, view.width, view.height,
                 image.pixels_.data());
  }
  if (TicksShown(view)) DrawTicks(points, view, image.pixels_.data());
  if (extras.scaleBar) DrawScaleBar(view, image);
  if (extras.legend) DrawLegend(points, image);
}

std::vector<LegendEntry> MapLegend(const MapPoints& points) {
  std::vector<LegendEntry> legend;
  const ColourBy by = points.Colouring();
  for (int cls = 0; cls < ClassCount(by); ++cls) {
    const std::size_t count = points.ClassCounts()[static_cast<std::size_t>(cls)];
    if (count == 0) continue;
    legend.push_back({ClassColour(by, cls), ClassLabel(by, cls), count});
  }
  return legend;
}

}  // namespace radardb
