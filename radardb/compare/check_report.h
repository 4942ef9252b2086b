#pragma once

#include <cstdio>
#include <string>

#include "radardb/compare/database_check.h"

namespace radardb {

// The check's findings as text: a CSV in the export's conventions, and a one-line summary.

// Writes the header line and one line per finding, in the report's order: the record's index, the
// finding's word (FindingWord), the earlier record it concerns (empty when none) and a detail:
// the text field ("Speed", "Road", "City") of a cut text; the field and the first control
// character ("Road 0x09"); the unused bits' value ("0x13"); empty otherwise. Returns false on a
// write error.
bool WriteCheckCsv(const CheckReport& report, std::FILE* out);

// "1 duplicate, 0 conflict, 2 near-duplicate, 0 cut-text, 0 control-character, 0 unused-bits in
// 1,000,000 records", every kind always named.
std::string CheckSummary(const CheckReport& report);

}  // namespace radardb
