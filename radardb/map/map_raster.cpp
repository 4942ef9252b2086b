#include "radardb/map/map_raster.h"

#include <algorithm>
#include <array>

namespace radardb {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

std::uint32_t PixelOf(Rgb c) {
  return kOpaque | std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

// Marks in `classAt` (one byte per pixel of the view) the pixel of every point of `points` in
// the view with 1 + its class. Returns false when no point was marked.
bool MarkPixels(const MapPoints& points, const MapView& view, std::vector<std::uint8_t>& classAt) {
  const double right = view.width - 0.5;
  const double bottom = view.height - 0.5;
  // The grid box the picture shows, a little larger so rounding loses no point at its edges.
  const double slack = 1 / view.scale;
  const double minX = GridX(view, -0.5) - slack;
  const double maxX = GridX(view, right) + slack;
  const double minY = GridY(view, bottom) - slack;
  const double maxY = GridY(view, -0.5) + slack;
  // PixelX(x) = x * scale + offsetX, and the same for rows with the sign turned.
  const double offsetX = PixelX(view, 0);
  const double offsetY = PixelY(view, 0);
  const double scale = view.scale;
  const auto width = static_cast<std::size_t>(view.width);
  bool marked = false;
  points.VisitNear(
      minX, minY, maxX, maxY,
      [&](const std::int32_t* xs, const std::int32_t* ys, const std::uint8_t* classes,
          std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
          // +0.5 turns the truncation below into rounding to the nearest pixel.
          const double px = xs[i] * scale + offsetX + 0.5;
          const double py = offsetY - ys[i] * scale + 0.5;
          if (!(px >= 0 && px < right + 0.5 && py >= 0 && py < bottom + 0.5)) {
            continue;
          }
          classAt[static_cast<std::size_t>(py) * width + static_cast<std::size_t>(px)] =
              static_cast<std::uint8_t>(classes[i] + 1);
          marked = true;
        }
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

}  // namespace

Rgb MapImage::At(int x, int y) const {
  const std::uint32_t p = pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p)};
}

void DrawMap(const MapPoints& points, const MapPoints* highlighted, const MapView& view,
             MapImage& image) {
  image.width_ = view.width;
  image.height_ = view.height;
  const std::size_t area = std::size_t(view.width) * std::size_t(view.height);
  image.pixels_.assign(area, PixelOf(kMapBackground));
  image.classAt_.assign(area, 0);

  // Colours by 1 + class, so a mark's value picks its colour directly.
  std::array<std::uint32_t, 256> colours{};
  const ColourBy by = points.Colouring();
  for (int cls = 0; cls < ClassCount(by); ++cls) colours[cls + 1] = PixelOf(ClassColour(by, cls));

  if (MarkPixels(points, view, image.classAt_)) {
    StampSquares(image.classAt_, kDotRadiusPx, colours.data(), nullptr, view.width, view.height,
                 image.pixels_.data());
  }
  if (highlighted == nullptr || !MarkPixels(*highlighted, view, image.classAt_)) return;
  // Rings first, then the dots inside them, so one ring never covers another's dot.
  std::vector<std::uint8_t> dots = image.classAt_;
  const std::uint32_t ring = PixelOf(kHighlightRing);
  StampSquares(image.classAt_, kDotRadiusPx + kHighlightRingPx, colours.data(), &ring, view.width,
               view.height, image.pixels_.data());
  StampSquares(dots, kDotRadiusPx, colours.data(), nullptr, view.width, view.height,
               image.pixels_.data());
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
