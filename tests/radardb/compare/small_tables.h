#pragma once

#include <vector>

#include "radardb/records/record_table.h"

// Small hand-made databases for the comparison and check tests: records described by the fields
// those look at, the other fields fixed.

struct Rec {
  int x;
  int y;
  int dir = 0;
  int sc = 1;
  int spd = 50;
};

// A table with a row per record, "#" counting from 0, the texts "50", "A1" and "Lyon".
inline radardb::RecordTable Table(const std::vector<Rec>& records) {
  radardb::RecordTable table;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Rec& r = records[i];
    table.Append(
        {static_cast<int>(i), r.x, r.y, 0, 0, 0, r.x % 1000, r.y % 1000, r.sc, 0, r.spd, r.dir},
        "50", "A1", "Lyon");
  }
  return table;
}
