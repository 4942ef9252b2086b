#include "radardb/map/map_marks.h"

#include <array>
#include <cmath>
#include <numbers>

namespace radardb {

namespace {

// The fewest records of each step after the first.
constexpr std::array<std::size_t, kDensitySteps - 1> kStepFloors = {2, 10, 100};
constexpr std::array<int, kDensitySteps> kStepRadii = {kDotRadiusPx, 3, 4, 6};
constexpr std::array<const char*, kDensitySteps> kStepLabels = {"1",
                                                                "2\xE2\x80\x93"
                                                                "9",
                                                                "10\xE2\x80\x93"
                                                                "99",
                                                                "100+"};
constexpr double kDegree = std::numbers::pi / 180;

}  // namespace

int DensityStep(std::size_t count) {
  int step = 0;
  while (step < kDensitySteps - 1 && count >= kStepFloors[static_cast<std::size_t>(step)]) ++step;
  return step;
}

int DotRadius(int step) { return kStepRadii[static_cast<std::size_t>(step)]; }

std::string DensityLabel(int step) { return kStepLabels[static_cast<std::size_t>(step)]; }

bool TicksShown(const MapView& view) { return view.scale >= kTickMinScale; }

TickStep TickDirection(std::int32_t dir) {
  const double angle = dir * kDegree;
  // Up is the picture's negative y.
  return {std::sin(angle), -std::cos(angle)};
}

bool GridLinesShown(const MapView& view) { return view.scale * kSquareUnits >= kGridLineMinPx; }

std::int64_t ScaleBarUnits(double scale) {
  const double longest = kScaleBarMaxPx / scale;
  if (longest < 2) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(longest)));
  for (const int mantissa : {5, 2, 1}) {
    if (mantissa * power <= longest) return std::llround(mantissa * power);
  }
  return std::llround(power);
}

std::string DigitsGrouped(std::int64_t number) {
  const std::string digits = std::to_string(number);
  const std::size_t sign = number < 0 ? 1 : 0;
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    const std::size_t left = digits.size() - at;
    if (at > sign && left % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[at]);
  }
  return grouped;
}

std::string ScaleBarLabel(std::int64_t units) {
  std::string label = DigitsGrouped(units);
  label.append(units == 1 ? " unit" : " units");
  return label;
}

}  // namespace radardb
