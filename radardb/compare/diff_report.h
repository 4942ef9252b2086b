#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "radardb/compare/database_diff.h"
#include "radardb/records/record_table.h"

namespace radardb {

// The comparison of two databases as text: a CSV of the differences, in the export's conventions,
// and a one-line summary.

// The diff CSV's header: "status", then the OLD record's fields, then the NEW record's: each side
// its "#" as "index" and the export's fourteen field names, prefixed "old_" and "new_"
// ("status,old_index,old_CoordX,...,old_City,new_index,new_CoordX,...,new_City").
std::string DiffCsvHeader();

// Writes the header line and one line per difference: first the NEW rows that are not unchanged,
// in NEW order, then the removed OLD rows, in OLD order. A line holds the change word
// (ChangeWord), then the OLD row's fields (empty for an added record), then the NEW row's (empty
// for a removed one). Returns false on a write error.
bool WriteDiffCsv(const RecordTable& oldRows, const RecordTable& newRows, const DatabaseDiff& diff,
                  std::FILE* out);

// "1,203 added, 87 removed, 40 moved, 312 changed, 998,101 unchanged".
std::string DiffSummary(const ChangeCounts& counts);

// `value` in decimal with a comma between groups of three digits: "998,101".
std::string GroupedNumber(std::uint64_t value);

}  // namespace radardb
