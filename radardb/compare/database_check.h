#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/nearby_records.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_table.h"

namespace radardb {

using platform::Status;

// Checking one database for faults. Each finding names a record by its index and the kind of
// fault; findings about two records name the later one and point at the earlier one.

enum class FindingKind : std::uint8_t {
  kDuplicate,         // every field besides "#" equal to an earlier record's
  kConflict,          // same position and direction as an earlier record, another field differs
  kNearDuplicate,     // near an earlier record (nearby_records.h), not on the same spot
  kCutText,           // a text field without a zero byte, so its text fills the whole field
  kControlCharacter,  // a text holds a byte below 0x20 or 0x7F
  kUnusedBits,        // bits 0-4 of `packed`, which no field uses, are not all zero
};
inline constexpr std::size_t kFindingKindCount = 6;

// "duplicate", "conflict", "near-duplicate", "cut-text", "control-character", "unused-bits".
std::string_view FindingWord(FindingKind kind);

inline constexpr std::uint32_t kNoOtherRecord = 0xFFFFFFFF;

inline constexpr char kTooCrowdedToCheck[] =
    "Too many records lie close together to look for near-duplicates";

struct Finding {
  std::uint32_t record;
  FindingKind kind;
  // The text field of kCutText and kControlCharacter: 0 Speed, 1 Road, 2 City.
  std::uint8_t field = 0;
  // The earlier record of kDuplicate (its lowest-index copy), kConflict (the lowest-index record
  // on that spot) and kNearDuplicate (the nearest earlier one, the lowest index among equals).
  std::uint32_t other = kNoOtherRecord;
  // The first control character of kControlCharacter; the unused bits of kUnusedBits.
  std::uint32_t value = 0;
};

struct CheckReport {
  std::uint64_t records = 0;
  // Ordered by record, then kind, then field.
  std::vector<Finding> findings;
  std::array<std::uint64_t, kFindingKindCount> counts{};
};

// Appends the findings one record shows by itself (cut texts, control characters, unused bits)
// for `record`, the `index`-th of its database.
void CheckRecordBytes(const RadarRecord& record, std::uint32_t index,
                      std::vector<Finding>& findings);

// Appends the findings between records of `rows` (duplicates, conflicts, near-duplicates within
// `tolerance`, 0 to kMaxTolerance), in no particular order. A record is a duplicate or a conflict
// at most once; either may also be a near-duplicate of another record. Fails with
// kTooCrowdedToCheck when records lie so densely that the nearby search gave up
// (nearby_records.h); the findings are then incomplete.
Status FindRepeatedRecords(const RecordTable& rows, int tolerance, std::vector<Finding>& findings);

// Checks every record of the archive at `archivePath`, expanding it in memory; on failure returns
// the loader's text (record_scan.h), kTooCrowdedToCheck or "Out of memory", and `report` is
// unspecified. Memory: about one loaded table.
Status CheckArchive(const std::string& archivePath, int tolerance, CheckReport& report);

// Checks the rows of a loaded table as CheckArchive checks an archive, but for the unused bits,
// which a table does not hold: a text as long as its field is a cut text. On kTooCrowdedToCheck
// `report` holds what was found all the same. Memory: the findings only.
Status CheckTable(const RecordTable& rows, int tolerance, CheckReport& report);

}  // namespace radardb
