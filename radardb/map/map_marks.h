#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "radardb/map/map_view.h"

namespace radardb {

// The rules by which the map shows more than where records lie: how many records a dot stands
// for, which way each record faces, where the grid squares run and how long a stretch of the
// grid is. The window and kestrolan-db map draw by the same rules at the same scale.

// A record alone is a square dot (2 * kDotRadiusPx + 1) pixels wide at its pixel.
inline constexpr int kDotRadiusPx = 2;
// Points are counted into cells of the picture this many pixels wide; the points of one cell make
// one dot at their mean pixel, its size telling how many they are.
inline constexpr int kDensityCellPx = 2 * kDotRadiusPx + 1;
// The sizes of dots: 1 record, 2 to 9, 10 to 99, 100 or more.
inline constexpr int kDensitySteps = 4;

// The step of a dot standing for `count` records (at least 1): 0 to kDensitySteps - 1.
int DensityStep(std::size_t count);
// The half width in pixels of a dot of step `step`: kDotRadiusPx for one record, larger above.
int DotRadius(int step);
// What a step stands for, for the legend: "1", "2–9", "10–99", "100+" (UTF-8).
std::string DensityLabel(int step);

// From this scale on (a grid square 25 pixels wide, the records of a town mostly apart), every
// point draws a tick kTickLengthPx pixels long from its pixel in its direction; records sharing a
// dot show their directions side by side.
inline constexpr double kTickMinScale = 0.025;
inline constexpr int kTickLengthPx = 9;
bool TicksShown(const MapView& view);
// The pixel step of a tick for the direction `dir` in degrees (as decoded): the database does not
// say where its 0 points, so the map draws 0 up (CoordY growing) and angles growing clockwise;
// 90 points right (CoordX growing), -90 and 270 left, -180 down. `dx` grows rightward, `dy`
// downward, and dx² + dy² = 1.
struct TickStep {
  double dx;
  double dy;
};
TickStep TickDirection(std::int32_t dir);

// The grid squares' edges (multiples of kSquareUnits) are drawn as faint lines once a square is
// at least this many pixels wide.
inline constexpr double kGridLineMinPx = 40;
bool GridLinesShown(const MapView& view);

// The scale bar: the longest 1, 2 or 5 times a power of ten grid units that is at most
// kScaleBarMaxPx pixels long at `scale` (pixels per grid unit), and never below one unit.
inline constexpr int kScaleBarMaxPx = 120;
std::int64_t ScaleBarUnits(double scale);
// The scale bar's label: "500 units", "1,000 units", "1 unit".
std::string ScaleBarLabel(std::int64_t units);
// `number` with its digits in groups of three: "1,234,567".
std::string DigitsGrouped(std::int64_t number);

}  // namespace radardb
