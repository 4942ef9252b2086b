#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

#include "radardb/map/map_colours.h"
#include "radardb/records/record_table.h"

// A point of a test table: its grid position, its sc, spd and dir.
struct TestPoint {
  std::int32_t x;
  std::int32_t y;
  std::int32_t sc = 0;
  std::int32_t spd = 0;
  std::int32_t dir = 0;
};

// A table with one row per point, in order; the other fields are zero and the texts empty.
inline radardb::RecordTable TableOf(const std::vector<TestPoint>& points) {
  radardb::RecordTable table;
  for (const TestPoint& p : points) {
    radardb::RecordTable::Ints ints{};
    ints[static_cast<int>(radardb::Column::kCoordX)] = p.x;
    ints[static_cast<int>(radardb::Column::kCoordY)] = p.y;
    ints[static_cast<int>(radardb::Column::kSc)] = p.sc;
    ints[static_cast<int>(radardb::Column::kSpd)] = p.spd;
    ints[static_cast<int>(radardb::Column::kDir)] = p.dir;
    table.Append(ints, "", "", "");
  }
  return table;
}

// Colours in failure messages as #RRGGBB.
inline void PrintTo(const radardb::Rgb& colour, std::ostream* os) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.r, colour.g, colour.b);
  *os << text;
}
