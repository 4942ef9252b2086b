#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "radardb/records/record_table.h"

namespace radardb {

// How the map colours its points: by the category `sc`, one colour per value, by the speed
// limit `spd`, one colour per band of speeds, or, for the rows of a comparison, by their change.
// Each colour stands for a class, numbered from 0.
enum class ColourBy { kSc, kSpd, kChange };

// The field that compared rows read as their change, the one after the record's fifteen: 0
// unchanged, 1 changed, 2 moved, 3 moved and changed, 4 added, 5 removed, which are also the
// classes of ColourBy::kChange.
inline constexpr int kChangeColourField = kColumnCount;

// A colour of the map, 8 bits a channel.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The field whose value picks a point's class: the column sc or spd, or kChangeColourField.
int ColourField(ColourBy by);
// The name of the mode and of its column, "sc", "spd" or "Change".
std::string_view ColourName(ColourBy by);
// The mode named `name` ("sc" or "spd", as ColourName gives them); nothing for any other text,
// as the change is there only while comparing.
std::optional<ColourBy> ColourNamed(std::string_view name);

// Number of classes of the mode; every class number is below it (and below 255).
int ClassCount(ColourBy by);
// The class of a point whose column value is `value`. Values outside the field's range (sc 0-31,
// spd 0-255) fall into the nearest class.
std::uint8_t ClassOf(ColourBy by, std::int32_t value);
// The colour of class `cls` (below ClassCount).
Rgb ClassColour(ColourBy by, int cls);
// What class `cls` stands for, for the legend: the value ("3"), the range of speeds ("51–70",
// UTF-8) or the change ("unchanged", "changed", "moved", "moved+changed", "added", "removed").
std::string ClassLabel(ColourBy by, int cls);

}  // namespace radardb
