#include "radardb/map/map_overlay.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "radardb/map/map_marks.h"
#include "radardb/map/map_raster.h"
#include "radardb/map/map_text.h"

namespace radardb {

namespace {

constexpr int kMarginPx = 8;
constexpr int kPaddingPx = 5;
constexpr int kBarThicknessPx = 3;
constexpr int kBarEndPx = 4;
constexpr int kSwatchPx = 7;
constexpr int kColumnGapPx = 8;
constexpr int kLineGapPx = 3;
constexpr Rgb kBacking{0xFF, 0xFF, 0xFF};
constexpr Rgb kFrame{0x90, 0x90, 0x90};
constexpr Rgb kTextColour{0x20, 0x20, 0x20};

// A line of the legend: a mark at its left (a swatch, a dot of a density step, or none), a text
// and a count at its right.
struct LegendLine {
  enum class Mark { kNone, kSwatch, kDot } mark;
  Rgb colour;
  int step;
  std::string text;
  std::string count;
};

int MarkWidth() { return 2 * DotRadius(kDensitySteps - 1) + 1; }

int LineHeight(const LegendLine& line) {
  const int mark = line.mark == LegendLine::Mark::kDot ? 2 * DotRadius(line.step) + 1 : kSwatchPx;
  return std::max(mark, kGlyphHeightPx) + kLineGapPx;
}

std::vector<LegendLine> LegendLines(const MapPoints& points) {
  std::vector<LegendLine> lines;
  lines.push_back(
      {LegendLine::Mark::kNone, {}, 0, std::string(ColourName(points.Colouring())), "points"});
  for (const LegendEntry& entry : MapLegend(points)) {
    lines.push_back({LegendLine::Mark::kSwatch, entry.colour, 0, entry.label,
                     DigitsGrouped(static_cast<std::int64_t>(entry.count))});
  }
  lines.push_back({LegendLine::Mark::kNone, {}, 0, "records a dot", ""});
  for (int step = 0; step < kDensitySteps; ++step) {
    lines.push_back({LegendLine::Mark::kDot, kPileEdge, step, DensityLabel(step), ""});
  }
  lines.push_back({LegendLine::Mark::kNone, {}, 0, "dir 0 = up, clockwise", ""});
  return lines;
}

}  // namespace

void DrawScaleBar(const MapView& view, MapImage& image) {
  const std::int64_t units = ScaleBarUnits(view.scale);
  const auto length = static_cast<int>(std::lround(units * view.scale));
  const std::string label = ScaleBarLabel(units);
  const int left = kMarginPx;
  const int bottom = image.height() - 1 - kMarginPx;
  const int barTop = bottom - kBarThicknessPx + 1;
  const int textTop = barTop - kBarEndPx - kGlyphHeightPx;
  image.Fill(left - kPaddingPx, textTop - kPaddingPx,
             left + std::max(length, TextWidth(label)) + kPaddingPx, bottom + kPaddingPx, kBacking);
  image.Fill(left, barTop, left + length, bottom, kScaleBarColour);
  image.Fill(left, barTop - kBarEndPx, left, bottom, kScaleBarColour);
  image.Fill(left + length, barTop - kBarEndPx, left + length, bottom, kScaleBarColour);
  DrawText(image, left + 2, textTop - 1, label, kTextColour);
}

void DrawLegend(const MapPoints& points, MapImage& image) {
  const std::vector<LegendLine> lines = LegendLines(points);
  int textWidth = 0;
  int countWidth = 0;
  int height = 0;
  for (const LegendLine& line : lines) {
    const int indent = line.mark == LegendLine::Mark::kNone ? 0 : MarkWidth() + kColumnGapPx;
    textWidth = std::max(textWidth, indent + TextWidth(line.text));
    countWidth = std::max(countWidth, TextWidth(line.count));
    height += LineHeight(line);
  }
  const int width = textWidth + kColumnGapPx + countWidth;
  const int right = image.width() - 1 - kMarginPx;
  const int left = right - width - 2 * kPaddingPx;
  const int top = kMarginPx;
  image.Fill(left, top, right, top + height + 2 * kPaddingPx, kFrame);
  image.Fill(left + 1, top + 1, right - 1, top + height + 2 * kPaddingPx - 1, kBacking);

  int y = top + kPaddingPx;
  for (const LegendLine& line : lines) {
    const int lineHeight = LineHeight(line) - kLineGapPx;
    const int middle = y + lineHeight / 2;
    int x = left + kPaddingPx;
    if (line.mark != LegendLine::Mark::kNone) {
      const int radius = line.mark == LegendLine::Mark::kDot ? DotRadius(line.step) : kSwatchPx / 2;
      const int centre = x + MarkWidth() / 2;
      image.Fill(centre - radius, middle - radius, centre + radius, middle + radius, line.colour);
      x += MarkWidth() + kColumnGapPx;
    }
    const int textTop = middle - kGlyphHeightPx / 2;
    DrawText(image, x, textTop, line.text, kTextColour);
    DrawText(image, right - kPaddingPx - TextWidth(line.count) + 1, textTop, line.count,
             kTextColour);
    y += LineHeight(line);
  }
}

}  // namespace radardb
