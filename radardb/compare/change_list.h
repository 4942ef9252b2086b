#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace radardb {

using platform::Status;

// A change list is the CSV that diff writes (diff_report.h): a line per added, removed, moved,
// changed or moved+changed record. A line that removes, moves or changes names an OLD record by
// its old_index and repeats all its old fields, which must match that record exactly; a line that
// adds, moves or changes gives the new record's fields, as import reads them, and its new_index.
//
// Applying a list to OLD: the OLD records it names go; the records it gives are placed at their
// new_index in ascending order, and the OLD records it does not name fill the other places in
// OLD's order, byte for byte. So a list diff wrote from OLD to NEW gives a database that exports
// exactly as NEW does whenever NEW keeps its unchanged records in OLD's order, and the same
// records otherwise. A list with lines deleted still applies: a place beyond the records there
// are is the end.

// What applying a change list makes of OLD: the OLD records it names go, and the records it gives
// come in, each at its place in the patched database; the other OLD records close up around them.
struct ChangePlan {
  std::vector<std::uint32_t> named;   // OLD indices, ascending
  std::vector<std::uint32_t> places;  // of each record given, ascending
  std::string given;                  // the records given, in the order of their places
};

// Reads the change list `csv` against `old` into `plan`, failing as ApplyChangeList does (the
// plan is then empty).
Status PlanChangeList(std::string_view old, std::string_view csv, ChangePlan& plan);

// Applies the change list `csv` to `old` (whole 241-byte records one after another) and puts
// the result in `patched`, as records of the same kind. Fails with "line N: REASON" for the first
// line that does not fit OLD (a header that is not diff's, a status word diff does not write, a
// side that should be empty or should not, fields that differ from the named OLD record, an
// index out of range or used twice, new fields import would refuse), and with "Out of memory";
// `patched` is then empty.
Status ApplyChangeList(std::string_view old, std::string_view csv, std::string& patched);

}  // namespace radardb
