#include "radardb/compare/database_check.h"

#include <algorithm>
#include <new>
#include <tuple>

#include "radardb/records/record_content.h"
#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

// Bits 0-4 of `packed` lie below the subcategory and belong to no field.
constexpr std::uint32_t kUnusedBitsMask = (std::uint32_t{1} << kSubcatShift) - 1;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

struct HashedRow {
  std::uint64_t hash;
  std::uint32_t row;
};

// `text` as read from a field of `size` bytes: a text that fills the field had no zero byte.
void CheckText(std::string_view text, std::size_t size, std::uint32_t index,
               std::uint8_t fieldNumber, std::vector<Finding>& findings) {
  if (text.size() == size) findings.push_back({index, FindingKind::kCutText, fieldNumber});
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < kFirstPrintable || byte == kDelete) {
      findings.push_back(
          {index, FindingKind::kControlCharacter, fieldNumber, kNoOtherRecord, byte});
      return;
    }
  }
}

// Orders the findings as CheckReport does and counts them.
void SortAndCount(CheckReport& report) {
  std::sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.record, a.kind, a.field) < std::tie(b.record, b.kind, b.field);
  });
  for (const Finding& finding : report.findings) ++report.counts[static_cast<int>(finding.kind)];
}

// Walks the spots of all records once: each record near an earlier one on another spot points at
// the nearest of them; among the records on one position with one direction (a place), later
// copies are duplicates of the first copy and other later records conflict with the first one.
class RepeatFinder {
 public:
  RepeatFinder(const RecordTable& rows, int tolerance, std::vector<Finding>& findings)
      : rows_(rows), nearby_(rows, AllRows(rows), tolerance), findings_(findings) {}

  // False when the search for near records gave up.
  bool Run() {
    nearby_.ForEachSpot([this](const NearbyRecords::Spot& spot) {
      FindNear(spot);
      if (!place_.empty() && !SamePlace(*place_.back(), spot)) FindCopiesAndConflicts();
      place_.push_back(&spot);
    });
    FindCopiesAndConflicts();
    return !nearby_.Exhausted();
  }

 private:
  static std::vector<std::uint32_t> AllRows(const RecordTable& rows) {
    std::vector<std::uint32_t> all(rows.size());
    for (std::uint32_t row = 0; row < all.size(); ++row) all[row] = row;
    return all;
  }
  static bool SamePlace(const NearbyRecords::Spot& a, const NearbyRecords::Spot& b) {
    return a.x == b.x && a.y == b.y && a.dir == b.dir;
  }

  void FindNear(const NearbyRecords::Spot& spot) {
    const std::uint32_t* members = nearby_.MembersBegin(spot);
    const std::uint32_t* membersEnd = nearby_.MembersEnd(spot);
    const std::uint32_t last = *(membersEnd - 1);
    // The spots near this one that hold a record earlier than its last member.
    near_.clear();
    nearby_.ForEachNear(spot.x, spot.y, spot.sc, spot.dir, hint_,
                        [&](const NearbyRecords::Spot& other, std::int64_t distance) {
                          const std::uint32_t first = nearby_.FirstMember(other);
                          if (&other != &spot && first < last) near_.emplace_back(distance, first);
                        });
    if (near_.empty()) return;
    if (membersEnd - members == 1) {
      const auto nearest = std::min_element(near_.begin(), near_.end());
      findings_.push_back({last, FindingKind::kNearDuplicate, 0, nearest->second});
      return;
    }
    // Nearest first, each with the lowest first member so far: the nearest candidate below a
    // member is where that running minimum first drops below it.
    std::sort(near_.begin(), near_.end());
    lowestSoFar_.clear();
    for (const auto& candidate : near_) {
      lowestSoFar_.push_back(lowestSoFar_.empty()
                                 ? candidate.second
                                 : std::min(candidate.second, lowestSoFar_.back()));
    }
    for (const std::uint32_t* m = members; m != membersEnd; ++m) {
      const auto at = std::partition_point(lowestSoFar_.begin(), lowestSoFar_.end(),
                                           [m](std::uint32_t lowest) { return lowest >= *m; });
      if (at != lowestSoFar_.end()) {
        findings_.push_back(
            {*m, FindingKind::kNearDuplicate, 0, near_[at - lowestSoFar_.begin()].second});
      }
    }
  }

  // The records of the place gathered in place_, which is emptied.
  void FindCopiesAndConflicts() {
    shared_.clear();
    for (const NearbyRecords::Spot* spot : place_) {
      for (const std::uint32_t* m = nearby_.MembersBegin(*spot); m != nearby_.MembersEnd(*spot);
           ++m) {
        shared_.push_back({0, *m});
      }
    }
    place_.clear();
    if (shared_.size() < 2) return;
    std::uint32_t first = shared_.front().row;
    for (HashedRow& entry : shared_) {
      entry.hash = RecordContentHash(rows_, entry.row);
      first = std::min(first, entry.row);
    }
    std::sort(shared_.begin(), shared_.end(), [this](const HashedRow& a, const HashedRow& b) {
      if (a.hash != b.hash) return a.hash < b.hash;
      const int content = CompareRecordContent(rows_, a.row, rows_, b.row);
      return content != 0 ? content < 0 : a.row < b.row;
    });
    std::uint32_t copyOf = shared_.front().row;
    for (std::size_t i = 0; i < shared_.size(); ++i) {
      const std::uint32_t row = shared_[i].row;
      const bool sameContent = i > 0 && shared_[i].hash == shared_[i - 1].hash &&
                               CompareRecordContent(rows_, row, rows_, shared_[i - 1].row) == 0;
      if (sameContent) {
        findings_.push_back({row, FindingKind::kDuplicate, 0, copyOf});
        continue;
      }
      copyOf = row;
      if (row != first) findings_.push_back({row, FindingKind::kConflict, 0, first});
    }
  }

  const RecordTable& rows_;
  NearbyRecords nearby_;
  std::vector<Finding>& findings_;
  NearbyRecords::Hint hint_;
  std::vector<std::pair<std::int64_t, std::uint32_t>> near_;
  std::vector<std::uint32_t> lowestSoFar_;
  std::vector<const NearbyRecords::Spot*> place_;
  std::vector<HashedRow> shared_;
};

}  // namespace

std::string_view FindingWord(FindingKind kind) {
  switch (kind) {
    case FindingKind::kDuplicate:
      return "duplicate";
    case FindingKind::kConflict:
      return "conflict";
    case FindingKind::kNearDuplicate:
      return "near-duplicate";
    case FindingKind::kCutText:
      return "cut-text";
    case FindingKind::kControlCharacter:
      return "control-character";
    case FindingKind::kUnusedBits:
      return "unused-bits";
  }
  return "";
}

void CheckRecordBytes(const RadarRecord& record, std::uint32_t index,
                      std::vector<Finding>& findings) {
  CheckText(record.SpeedText(), kSpeedFieldSize, index, 0, findings);
  CheckText(record.RoadText(), kRoadFieldSize, index, 1, findings);
  CheckText(record.CityText(), kCityFieldSize, index, 2, findings);
  const std::uint32_t unused = record.packed & kUnusedBitsMask;
  if (unused != 0) {
    findings.push_back({index, FindingKind::kUnusedBits, 0, kNoOtherRecord, unused});
  }
}

Status FindRepeatedRecords(const RecordTable& rows, int tolerance, std::vector<Finding>& findings) {
  RepeatFinder finder(rows, tolerance, findings);
  return finder.Run() ? Status() : Status::InvalidArgument(kTooCrowdedToCheck);
}

Status CheckArchive(const std::string& archivePath, int tolerance, CheckReport& report) {
  report = CheckReport();
  const Status status = platform::GuardMemory([&] {
    RecordTable rows;
    RowReading reading;
    reading.visit = [&report](const RadarRecord& record, std::size_t index) {
      CheckRecordBytes(record, static_cast<std::uint32_t>(index), report.findings);
    };
    Status read = ReadArchiveRows(archivePath, rows, reading);
    if (read.ok()) read = FindRepeatedRecords(rows, tolerance, report.findings);
    report.records = rows.size();
    return read;
  });
  if (!status.ok()) {
    report = CheckReport();
    return status;
  }
  SortAndCount(report);
  return Status();
}

Status CheckTable(const RecordTable& rows, int tolerance, CheckReport& report) {
  report = CheckReport();
  report.records = rows.size();
  for (std::uint32_t row = 0; row < rows.size(); ++row) {
    CheckText(rows.Text(row, Column::kSpeed), kSpeedFieldSize, row, 0, report.findings);
    CheckText(rows.Text(row, Column::kRoad), kRoadFieldSize, row, 1, report.findings);
    CheckText(rows.Text(row, Column::kCity), kCityFieldSize, row, 2, report.findings);
  }
  const Status status = FindRepeatedRecords(rows, tolerance, report.findings);
  SortAndCount(report);
  return status;
}

}  // namespace radardb
