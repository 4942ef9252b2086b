#include "radardb/compare/database_merge.h"

#include <algorithm>

#include "radardb/archive/lzw_archive.h"
#include "radardb/compare/diff_report.h"
#include "radardb/records/record_content.h"
#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

constexpr std::size_t kFirstSlotCount = 1024;
// The slots are kept at most half full, so a search ends after a few steps.
constexpr std::size_t kSlotsPerKept = 2;

// Hands the records of an archive to the merger as they are expanded, whole records at a time.
class MergingSink : public LzwOutputSink {
 public:
  explicit MergingSink(RecordMerger& merger) : merger_(merger) {}

  bool Write(const unsigned char* data, std::size_t size) override {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!carry_.empty()) {
      const std::size_t taken = std::min(size, kRadarRecordSize - carry_.size());
      carry_.append(bytes.substr(0, taken));
      bytes.remove_prefix(taken);
      if (carry_.size() < kRadarRecordSize) return true;
      merger_.AddMore(carry_);
      carry_.clear();
    }
    const std::size_t whole = bytes.size() - bytes.size() % kRadarRecordSize;
    merger_.AddMore(bytes.substr(0, whole));
    carry_.assign(bytes.substr(whole));
    return true;
  }

  // True when the archive ended on a record's end.
  bool Whole() const { return carry_.empty(); }

 private:
  RecordMerger& merger_;
  std::string carry_;  // the start of a record cut by the end of a piece
};

}  // namespace

Status AddArchive(const std::string& archive, RecordMerger& merger) {
  merger.StartDatabase();
  MergingSink sink(merger);
  const Status status = DecompressLzw(archive, sink);
  if (status.ok() && !sink.Whole()) return Status::BadFormat(kEndsInsideRecord);
  return status;
}

RecordMerger::RecordMerger(MergeDrop drop, int tolerance)
    : drop_(drop),
      cellSize_(std::max(tolerance, 1)),
      squaredTolerance_(std::int64_t{tolerance} * tolerance),
      slots_(drop == MergeDrop::kNothing ? 0 : kFirstSlotCount, 0) {}

RadarRecord RecordMerger::KeptRecord(std::uint32_t index) const {
  RadarRecord record;
  record.Read(reinterpret_cast<const unsigned char*>(kept_.data()) +
              std::size_t{index} * kRadarRecordSize);
  return record;
}

void RecordMerger::Take(std::string_view records, bool mayDrop) {
  const std::size_t count = records.size() / kRadarRecordSize;
  if (counts_.records.empty()) StartDatabase();
  counts_.records.back() += count;
  const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
  RadarRecord record;
  for (std::size_t i = 0; i < count; ++i, bytes += kRadarRecordSize) {
    if (drop_ != MergeDrop::kNothing) {
      record.Read(bytes);
      const std::uint64_t hash = RecordContentHash(record);
      if (mayDrop && FindDuplicate(record, hash)) {
        ++counts_.duplicates;
        continue;
      }
      if (mayDrop && drop_ == MergeDrop::kNearDuplicates && FindNear(record)) {
        ++counts_.nearDuplicates;
        continue;
      }
      const auto index = static_cast<std::uint32_t>(counts_.written);
      Remember(hash, index);
      if (drop_ == MergeDrop::kNearDuplicates) {
        cells_[CellKey(CellOf(record.GetCoordX()), CellOf(record.GetCoordY()))].push_back(index);
      }
    }
    kept_.append(reinterpret_cast<const char*>(bytes), kRadarRecordSize);
    ++counts_.written;
  }
}

bool RecordMerger::FindDuplicate(const RadarRecord& record, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask; slots_[at] != 0; at = (at + 1) & mask) {
    const std::uint32_t index = slots_[at] - 1;
    if (hashes_[index] == hash && SameRecordContent(KeptRecord(index), record)) return true;
  }
  return false;
}

void RecordMerger::Remember(std::uint64_t hash, std::uint32_t index) {
  hashes_.push_back(hash);
  if (hashes_.size() * kSlotsPerKept > slots_.size()) Grow();
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  while (slots_[at] != 0) at = (at + 1) & mask;
  slots_[at] = index + 1;
}

void RecordMerger::Grow() {
  slots_.assign(slots_.size() * 2, 0);
  const std::size_t mask = slots_.size() - 1;
  // Every kept record but the newest, which Remember places itself.
  for (std::uint32_t index = 0; index + 1 < hashes_.size(); ++index) {
    std::size_t at = hashes_[index] & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = index + 1;
  }
}

bool RecordMerger::FindNear(const RadarRecord& record) const {
  const std::int32_t x = record.GetCoordX();
  const std::int32_t y = record.GetCoordY();
  const std::int64_t column = CellOf(x);
  const std::int64_t row = CellOf(y);
  for (std::int64_t dx = -1; dx <= 1; ++dx) {
    for (std::int64_t dy = -1; dy <= 1; ++dy) {
      const auto cell = cells_.find(CellKey(column + dx, row + dy));
      if (cell == cells_.end()) continue;
      for (const std::uint32_t index : cell->second) {
        const RadarRecord kept = KeptRecord(index);
        if (kept.GetSc() == record.GetSc() &&
            SquaredDistance(x, y, kept.GetCoordX(), kept.GetCoordY()) <= squaredTolerance_ &&
            DirectionsAgree(record.GetDir(), kept.GetDir())) {
          return true;
        }
      }
    }
  }
  return false;
}

std::uint64_t RecordMerger::CellKey(std::int64_t column, std::int64_t row) const {
  return static_cast<std::uint64_t>(column) << 32 ^ static_cast<std::uint32_t>(row);
}

std::int64_t RecordMerger::CellOf(std::int32_t coordinate) const {
  // Rounded down, so cells do not fold around zero.
  const std::int64_t c = coordinate;
  return c >= 0 ? c / cellSize_ : -((-c + cellSize_ - 1) / cellSize_);
}

std::string MergeSummary(const MergeCounts& counts) {
  std::string summary;
  for (std::size_t i = 0; i < counts.records.size(); ++i) {
    if (i > 0) summary += " + ";
    summary += GroupedNumber(counts.records[i]);
  }
  summary += " records; ";
  if (counts.nearDuplicates > 0) {
    summary += GroupedNumber(counts.duplicates) + " duplicates and " +
               GroupedNumber(counts.nearDuplicates) + " near-duplicates dropped; ";
  } else {
    summary += GroupedNumber(counts.duplicates) + " duplicates dropped; ";
  }
  return summary + GroupedNumber(counts.written) + " written";
}

}  // namespace radardb
