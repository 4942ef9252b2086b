#include "radardb/database_check.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <tuple>

#include "radardb/record_content.h"
#include "radardb/record_scan.h"

namespace {

// Bits 0-4 of `packed` lie below the subcategory and belong to no field.
constexpr std::uint32_t kUnusedBitsMask = (std::uint32_t{1} << kSubcatShift) - 1;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

// A record's spot: its position (CoordX and CoordY, 32 bits each) and direction.
struct SpotRow {
  std::uint64_t position;
  std::int32_t dir;
  std::uint32_t row;

  bool operator<(const SpotRow& other) const {
    return std::tie(position, dir, row) < std::tie(other.position, other.dir, other.row);
  }
  bool SameSpot(const SpotRow& other) const {
    return position == other.position && dir == other.dir;
  }
};

struct HashedRow {
  std::uint64_t hash;
  std::uint32_t row;
};

constexpr int kHalfWord = 32;

void CheckText(const char* field, std::size_t size, std::uint32_t index, std::uint8_t fieldNumber,
               std::vector<Finding>& findings) {
  const void* zero = std::memchr(field, 0, size);
  if (zero == nullptr) findings.push_back({index, FindingKind::kCutText, fieldNumber});
  const std::size_t length = zero ? static_cast<const char*>(zero) - field : size;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    if (byte < kFirstPrintable || byte == kDelete) {
      findings.push_back(
          {index, FindingKind::kControlCharacter, fieldNumber, kNoOtherRecord, byte});
      return;
    }
  }
}

// Records on one spot (same position and direction): later copies are duplicates of the first
// copy, other later records conflict with the spot's first record.
void FindDuplicatesAndConflicts(const RecordTable& rows, std::vector<Finding>& findings) {
  std::vector<SpotRow> bySpot;
  bySpot.reserve(rows.size());
  for (std::uint32_t row = 0; row < rows.size(); ++row) {
    const auto x = static_cast<std::uint32_t>(rows.Int(row, Column::kCoordX));
    const auto y = static_cast<std::uint32_t>(rows.Int(row, Column::kCoordY));
    bySpot.push_back({std::uint64_t{x} << kHalfWord | y, rows.Int(row, Column::kDir), row});
  }
  std::sort(bySpot.begin(), bySpot.end());
  // Most spots hold one record; only shared ones are compared by content.
  std::vector<HashedRow> shared;
  for (std::size_t begin = 0, end = 0; begin < bySpot.size(); begin = end) {
    end = begin + 1;
    while (end < bySpot.size() && bySpot[end].SameSpot(bySpot[begin])) ++end;
    if (end - begin == 1) continue;
    shared.clear();
    for (std::size_t i = begin; i < end; ++i) {
      shared.push_back({RecordContentHash(rows, bySpot[i].row), bySpot[i].row});
    }
    std::sort(shared.begin(), shared.end(), [&rows](const HashedRow& a, const HashedRow& b) {
      if (a.hash != b.hash) return a.hash < b.hash;
      const int content = CompareRecordContent(rows, a.row, rows, b.row);
      return content != 0 ? content < 0 : a.row < b.row;
    });
    const std::uint32_t first = bySpot[begin].row;
    std::uint32_t copyOf = shared.front().row;
    for (std::size_t i = 0; i < shared.size(); ++i) {
      const std::uint32_t row = shared[i].row;
      const bool sameContent = i > 0 && shared[i].hash == shared[i - 1].hash &&
                               CompareRecordContent(rows, row, rows, shared[i - 1].row) == 0;
      if (sameContent) {
        findings.push_back({row, FindingKind::kDuplicate, 0, copyOf});
        continue;
      }
      copyOf = row;
      if (row != first) findings.push_back({row, FindingKind::kConflict, 0, first});
    }
  }
}

// Each record near an earlier one on another spot points at the nearest of them. False when the
// search gave up.
bool FindNearDuplicates(const RecordTable& rows, int tolerance, std::vector<Finding>& findings) {
  std::vector<std::uint32_t> all(rows.size());
  for (std::uint32_t row = 0; row < all.size(); ++row) all[row] = row;
  NearbyRecords nearby(rows, all, tolerance);
  all = {};
  NearbyRecords::Hint hint;
  // The spots near one spot that hold an earlier record than its last member, each as its
  // distance and first member; sorted, with the lowest first member so far beside each.
  std::vector<std::pair<std::int64_t, std::uint32_t>> near;
  std::vector<std::uint32_t> lowestSoFar;
  nearby.ForEachSpot([&](std::int32_t sc, const NearbyRecords::Spot& spot) {
    const std::uint32_t* members = nearby.MembersBegin(spot);
    const std::uint32_t* membersEnd = nearby.MembersEnd(spot);
    const std::uint32_t last = *(membersEnd - 1);
    near.clear();
    nearby.ForEachNear(spot.x, spot.y, sc, spot.dir, hint,
                       [&](const NearbyRecords::Spot& other, std::int64_t distance) {
                         const std::uint32_t first = nearby.FirstMember(other);
                         if (&other != &spot && first < last) near.emplace_back(distance, first);
                       });
    if (near.empty()) return;
    if (membersEnd - members == 1) {
      const auto nearest = std::min_element(near.begin(), near.end());
      findings.push_back({last, FindingKind::kNearDuplicate, 0, nearest->second});
      return;
    }
    std::sort(near.begin(), near.end());
    lowestSoFar.clear();
    for (const auto& candidate : near) {
      lowestSoFar.push_back(
          std::min(candidate.second, lowestSoFar.empty() ? candidate.second : lowestSoFar.back()));
    }
    for (const std::uint32_t* m = members; m != membersEnd; ++m) {
      // The nearest candidate below `*m` is where the running minimum first drops below it.
      const auto at = std::partition_point(lowestSoFar.begin(), lowestSoFar.end(),
                                           [m](std::uint32_t lowest) { return lowest >= *m; });
      if (at != lowestSoFar.end()) {
        findings.push_back(
            {*m, FindingKind::kNearDuplicate, 0, near[at - lowestSoFar.begin()].second});
      }
    }
  });
  return !nearby.Exhausted();
}

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
  CheckText(record.Speed, kSpeedFieldSize, index, 0, findings);
  CheckText(record.Road, kRoadFieldSize, index, 1, findings);
  CheckText(record.City, kCityFieldSize, index, 2, findings);
  const std::uint32_t unused = record.packed & kUnusedBitsMask;
  if (unused != 0) {
    findings.push_back({index, FindingKind::kUnusedBits, 0, kNoOtherRecord, unused});
  }
}

Status FindRepeatedRecords(const RecordTable& rows, int tolerance, std::vector<Finding>& findings) {
  // The two searches read the table only; the spots' search runs on a thread of its own.
  std::vector<Finding> onSpots;
  std::thread spots([&rows, &onSpots] { FindDuplicatesAndConflicts(rows, onSpots); });
  const bool searched = FindNearDuplicates(rows, tolerance, findings);
  spots.join();
  findings.insert(findings.end(), onSpots.begin(), onSpots.end());
  return searched ? Status() : Status::Error(kTooCrowdedToCheck);
}

Status CheckArchive(const std::string& archivePath, int tolerance, CheckReport& report) {
  report = CheckReport();
  RecordTable rows;
  const Status status =
      ReadArchiveRows(archivePath, rows, [&report](const RadarRecord& record, std::size_t index) {
        CheckRecordBytes(record, static_cast<std::uint32_t>(index), report.findings);
      });
  if (!status.ok()) return status;
  report.records = rows.size();
  const Status searched = FindRepeatedRecords(rows, tolerance, report.findings);
  if (!searched.ok()) return searched;
  std::sort(report.findings.begin(), report.findings.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.record, a.kind, a.field) < std::tie(b.record, b.kind, b.field);
  });
  for (const Finding& finding : report.findings) ++report.counts[static_cast<int>(finding.kind)];
  return status;
}
