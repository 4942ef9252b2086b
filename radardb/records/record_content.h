#pragma once

#include <cstddef>
#include <cstdint>

#include "radardb/records/radar_record.h"
#include "radardb/records/record_table.h"

namespace radardb {

// What makes two records the same: every field a row shows besides its index "#" — the eleven
// integers from "CoordX" to "dir" and the three texts. The comparison of databases and the check
// for duplicates share this meaning.

// A hash of the row's fields besides "#": equal for rows that CompareRecordContent finds equal.
// `row` must be below rows.size().
std::uint64_t RecordContentHash(const RecordTable& rows, std::size_t row);

// The same hash of a record not in a table, read straight from its fields: equal to
// RecordContentHash of the row the record makes.
std::uint64_t RecordContentHash(const RadarRecord& record);

// True when two records agree in every field a row shows besides "#", as CompareRecordContent
// finds their rows equal.
bool SameRecordContent(const RadarRecord& a, const RadarRecord& b);

// Orders two rows, possibly of different tables, by their fields besides "#": negative, zero or
// positive as row `a` of `tableA` comes before, equals or comes after row `b` of `tableB`. The
// order is total and the same on every run; texts compare as unsigned bytes.
int CompareRecordContent(const RecordTable& tableA, std::size_t a, const RecordTable& tableB,
                         std::size_t b);

// True when the rows agree in every field that is not part of the position: "sc", "mph", "spd",
// "dir" and the three texts.
bool SameFieldsBesidesPosition(const RecordTable& tableA, std::size_t a, const RecordTable& tableB,
                               std::size_t b);

}  // namespace radardb
