#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/nearby_records.h"
#include "radardb/records/record_table.h"

namespace radardb {

using platform::Status;

// Comparing two releases of a database, OLD and NEW. Records carry no identifier, so they are
// paired by content, in four steps, each on the records the earlier steps left unpaired:
//  1. identical records (every field besides "#" equal), as multisets: the k-th copy in OLD pairs
//     with the k-th copy in NEW, both counted in row order;
//  2. records at the same (CoordX, CoordY) with the same category "sc", as changed: first those
//     with the same direction too, then the rest; within a group, lowest row with lowest row;
//  3. each OLD record left, in row order, with the nearest NEW record left that lies near it
//     (see nearby_records.h), as moved; equal distances go to the lowest NEW row;
//  4. the OLD records left are removed, the NEW records left added.
// The result is the same on every run.

enum class RecordChange : std::uint8_t {
  kUnchanged,
  kChanged,       // same position and category, another field differs
  kMoved,         // another position nearby, every other field the same
  kMovedChanged,  // another position nearby, and another field differs
  kAdded,
  kRemoved,
};

// The word shown for a change: "" (unchanged), "changed", "moved", "moved+changed", "added",
// "removed".
std::string_view ChangeWord(RecordChange change);

inline constexpr std::uint32_t kNoPartner = 0xFFFFFFFF;

inline constexpr char kTooCrowdedToCompare[] =
    "Too many records lie close together to look for moved ones";

// How many records each change holds; a record moved and changed counts as moved.
struct ChangeCounts {
  std::uint64_t added = 0;
  std::uint64_t removed = 0;
  std::uint64_t moved = 0;
  std::uint64_t changed = 0;
  std::uint64_t unchanged = 0;
};

// The outcome, shaped for showing NEW with OLD's removed records after it: every NEW row with its
// change and partner, then the OLD rows that have no partner.
struct DatabaseDiff {
  // For each NEW row: what it is to OLD (never kRemoved).
  std::vector<RecordChange> newChanges;
  // For each NEW row: the OLD row it is paired with, or kNoPartner when it was added.
  std::vector<std::uint32_t> oldPartners;
  // The OLD rows paired with nothing, ascending.
  std::vector<std::uint32_t> removed;
  ChangeCounts counts;
  // Fails with kTooCrowdedToCompare when the records left for step 3 lie so densely that the
  // nearby search gave up (nearby_records.h), or "Out of memory"; the rest of the outcome is then
  // not to be used.
  Status status;

  bool HasDifferences() const {
    return counts.added + counts.removed + counts.moved + counts.changed > 0;
  }
};

// Pairs the rows of `oldRows` and `newRows` by the steps above. `tolerance` (0 to kMaxTolerance)
// is how far a moved record may lie from where it was. Both tables must hold fewer than
// kNoPartner rows.
DatabaseDiff CompareDatabases(const RecordTable& oldRows, const RecordTable& newRows,
                              int tolerance = kDefaultTolerance);

}  // namespace radardb
