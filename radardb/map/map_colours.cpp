#include "radardb/map/map_colours.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace radardb {

namespace {

// One colour per category value (sc is 5 bits wide): strong, distinct colours first, as the
// low categories are the common ones; none so dark that the black of a highlight would hide it.
constexpr std::array<Rgb, 32> kCategoryColours = {{
    {0xE6, 0x19, 0x4B}, {0x3C, 0xB4, 0x4B}, {0x43, 0x63, 0xD8}, {0xF5, 0x82, 0x31},
    {0x91, 0x1E, 0xB4}, {0x42, 0xD4, 0xF4}, {0xF0, 0x32, 0xE6}, {0xBF, 0xEF, 0x45},
    {0x46, 0x99, 0x90}, {0x9A, 0x63, 0x24}, {0x80, 0x00, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x75}, {0xFF, 0xE1, 0x19}, {0xA9, 0xA9, 0xA9}, {0xDC, 0xBE, 0xFF},
    {0xAA, 0xFF, 0xC3}, {0xFF, 0xD8, 0xB1}, {0x1F, 0x77, 0xB4}, {0xFF, 0x7F, 0x0E},
    {0x2C, 0xA0, 0x2C}, {0xD6, 0x27, 0x28}, {0x94, 0x67, 0xBD}, {0x8C, 0x56, 0x4B},
    {0xE3, 0x77, 0xC2}, {0x7F, 0x7F, 0x7F}, {0xBC, 0xBD, 0x22}, {0x17, 0xBE, 0xCF},
    {0x39, 0x3B, 0x79}, {0x63, 0x79, 0x39}, {0x8C, 0x6D, 0x31}, {0x84, 0x3C, 0x39},
}};
constexpr std::int32_t kMaxCategory = static_cast<std::int32_t>(kCategoryColours.size()) - 1;

// Speed bands, slow to fast, by their highest speed (spd is 8 bits wide, so the last ends at
// 255). Zero, a point without a limit, has a band and a neutral colour of its own.
struct SpeedBand {
  std::int32_t highest;
  Rgb colour;
};
constexpr std::array<SpeedBand, 8> kSpeedBands = {{
    {0, {0x9E, 0x9E, 0x9E}},
    {30, {0x21, 0x66, 0xAC}},
    {50, {0x1A, 0x96, 0x41}},
    {70, {0x7F, 0xBC, 0x41}},
    {90, {0xE6, 0xAB, 0x02}},
    {110, {0xF4, 0x6D, 0x43}},
    {130, {0xD7, 0x30, 0x27}},
    {255, {0x8E, 0x01, 0x52}},
}};

constexpr char kEnDash[] = "\xE2\x80\x93";

// By change, in the order of the change codes: unchanged recedes, each change stands out
// (colours told apart with every common colour blindness).
struct ChangeClass {
  const char* label;
  Rgb colour;
};
constexpr std::array<ChangeClass, 6> kChangeClasses = {{
    {"unchanged", {0xC8, 0xC8, 0xC8}},
    {"changed", {0xE6, 0x9F, 0x00}},
    {"moved", {0x00, 0x72, 0xB2}},
    {"moved+changed", {0xCC, 0x79, 0xA7}},
    {"added", {0x00, 0x9E, 0x73}},
    {"removed", {0xD5, 0x5E, 0x00}},
}};
constexpr std::int32_t kLastChange = static_cast<std::int32_t>(kChangeClasses.size()) - 1;

}  // namespace

int ColourField(ColourBy by) {
  switch (by) {
    case ColourBy::kSc:
      return static_cast<int>(Column::kSc);
    case ColourBy::kSpd:
      return static_cast<int>(Column::kSpd);
    case ColourBy::kChange:
      break;
  }
  return kChangeColourField;
}

std::string_view ColourName(ColourBy by) {
  switch (by) {
    case ColourBy::kSc:
      return "sc";
    case ColourBy::kSpd:
      return "spd";
    case ColourBy::kChange:
      break;
  }
  return "Change";
}

std::optional<ColourBy> ColourNamed(std::string_view name) {
  for (const ColourBy by : {ColourBy::kSc, ColourBy::kSpd}) {
    if (name == ColourName(by)) return by;
  }
  return std::nullopt;
}

int ClassCount(ColourBy by) {
  switch (by) {
    case ColourBy::kSc:
      return static_cast<int>(kCategoryColours.size());
    case ColourBy::kSpd:
      return static_cast<int>(kSpeedBands.size());
    case ColourBy::kChange:
      break;
  }
  return static_cast<int>(kChangeClasses.size());
}

std::uint8_t ClassOf(ColourBy by, std::int32_t value) {
  if (by == ColourBy::kSc) return static_cast<std::uint8_t>(std::clamp(value, 0, kMaxCategory));
  if (by == ColourBy::kChange) return static_cast<std::uint8_t>(std::clamp(value, 0, kLastChange));
  const auto band = std::find_if(kSpeedBands.begin(), std::prev(kSpeedBands.end()),
                                 [value](const SpeedBand& b) { return value <= b.highest; });
  return static_cast<std::uint8_t>(band - kSpeedBands.begin());
}

Rgb ClassColour(ColourBy by, int cls) {
  const auto index = static_cast<std::size_t>(cls);
  switch (by) {
    case ColourBy::kSc:
      return kCategoryColours[index];
    case ColourBy::kSpd:
      return kSpeedBands[index].colour;
    case ColourBy::kChange:
      break;
  }
  return kChangeClasses[index].colour;
}

std::string ClassLabel(ColourBy by, int cls) {
  if (by == ColourBy::kChange) return kChangeClasses[static_cast<std::size_t>(cls)].label;
  if (by == ColourBy::kSc || cls == 0) {
    return std::to_string(by == ColourBy::kSc ? cls : kSpeedBands[0].highest);
  }
  const auto index = static_cast<std::size_t>(cls);
  return std::to_string(kSpeedBands[index - 1].highest + 1) + kEnDash +
         std::to_string(kSpeedBands[index].highest);
}

}  // namespace radardb
