#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/nearby_records.h"
#include "radardb/records/radar_record.h"

namespace radardb {

using platform::Status;

// Combining databases: the records of one, then another's, and so on, byte for byte, leaving out
// the records a drop rule finds already kept.

enum class MergeDrop {
  kNothing,
  // A record identical to one already kept (every field besides "#", as diff and check compare).
  kDuplicates,
  // Also one near a kept record: the same category within the tolerance, directions agreeing (as
  // check finds near-duplicates; nearby_records.h).
  kNearDuplicates,
};

struct MergeCounts {
  std::vector<std::uint64_t> records;  // of each database added, in turn
  std::uint64_t duplicates = 0;        // dropped as identical to a kept record
  std::uint64_t nearDuplicates = 0;    // dropped as near a kept record
  std::uint64_t written = 0;
};

// Keeps the records of the databases added to it. Memory: the kept records, a hash of each and
// twice as many slots of four bytes; with near-duplicates dropped, also the kept records'
// places in a grid of cells as wide as the tolerance.
class RecordMerger {
 public:
  // `tolerance` (0 to kMaxTolerance) is read only for kNearDuplicates.
  explicit RecordMerger(MergeDrop drop, int tolerance = kDefaultTolerance);
  RecordMerger(const RecordMerger&) = delete;
  RecordMerger& operator=(const RecordMerger&) = delete;

  // Adds the records of one more database, `records` being whole 241-byte records one after
  // another; each is kept, byte for byte, unless the drop rule leaves it out.
  void Add(std::string_view records) {
    StartDatabase();
    AddMore(records);
  }
  // Begins one more database, whose records then come piece by piece through AddMore (whole
  // records each time), so that no database need be held whole.
  void StartDatabase() { counts_.records.push_back(0); }
  void AddMore(std::string_view records) { Take(records, true); }
  // Adds records that are all kept, whatever the drop rule, as a database begun: the ones already
  // there (a table's) that the records added later are compared with.
  void AddKept(std::string_view records) {
    StartDatabase();
    Take(records, false);
  }

  // The records kept, in the order they were added.
  const std::string& Kept() const { return kept_; }
  const MergeCounts& Counts() const { return counts_; }

 private:
  void Take(std::string_view records, bool mayDrop);
  RadarRecord KeptRecord(std::uint32_t index) const;
  // True when `record`, whose content hash is `hash`, is identical to a kept record.
  bool FindDuplicate(const RadarRecord& record, std::uint64_t hash) const;
  void Remember(std::uint64_t hash, std::uint32_t index);
  void Grow();
  bool FindNear(const RadarRecord& record) const;
  std::uint64_t CellKey(std::int64_t column, std::int64_t row) const;
  std::int64_t CellOf(std::int32_t coordinate) const;

  MergeDrop drop_;
  std::int32_t cellSize_;
  std::int64_t squaredTolerance_;
  std::string kept_;
  std::vector<std::uint64_t> hashes_;  // of each kept record
  std::vector<std::uint32_t> slots_;   // kept index + 1 by hash, 0 for free; a power of two long
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
  MergeCounts counts_;
};

// Adds the records of the archive at `archive` to `merger` as one more database, handing them
// over as they are expanded, so that only the records kept are held. Fails with DecompressLzw's
// texts, or kEndsInsideRecord; the records before the failure stay added.
Status AddArchive(const std::string& archive, RecordMerger& merger);

// "3,000 + 3,011 records; 2,899 duplicates dropped; 3,112 written" (near-duplicates, when any
// rule dropped them: "2,899 duplicates and 12 near-duplicates dropped").
std::string MergeSummary(const MergeCounts& counts);

}  // namespace radardb
