#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "radardb/records/record_table.h"

namespace radardb {

// How the map colours its points: by the category `sc`, one colour per value, or by the speed
// limit `spd`, one colour per band of speeds. Each colour stands for a class, numbered from 0.
enum class ColourBy { kSc, kSpd };

// A colour of the map, 8 bits a channel.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The table column whose value picks a point's class: sc or spd.
Column ColourColumn(ColourBy by);
// The name of the mode and of its column, "sc" or "spd".
std::string_view ColourName(ColourBy by);
// The mode named `name` ("sc" or "spd", as ColourName gives them); nothing for any other text.
std::optional<ColourBy> ColourNamed(std::string_view name);

// Number of classes of the mode; every class number is below it (and below 255).
int ClassCount(ColourBy by);
// The class of a point whose column value is `value`. Values outside the field's range (sc 0-31,
// spd 0-255) fall into the nearest class.
std::uint8_t ClassOf(ColourBy by, std::int32_t value);
// The colour of class `cls` (below ClassCount).
Rgb ClassColour(ColourBy by, int cls);
// What class `cls` stands for, for the legend: the value ("3") or the range of speeds ("51–70",
// UTF-8).
std::string ClassLabel(ColourBy by, int cls);

}  // namespace radardb
