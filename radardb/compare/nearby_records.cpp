#include "radardb/compare/nearby_records.h"

#include <algorithm>
#include <tuple>

namespace radardb {

namespace {

// A member packed into three words whose order is (cell column, cell row, x, y, dir, sc, row):
// sorting these is much faster than sorting the fields one by one.
struct Entry {
  std::uint64_t cell;
  std::uint64_t place;   // x and y inside the cell, dir
  std::uint64_t member;  // sc, row

  bool operator<(const Entry& other) const {
    return std::tie(cell, place, member) < std::tie(other.cell, other.place, other.member);
  }
};

constexpr int kHalfWord = 32;
constexpr int kOffsetXShift = 48;  // offsets inside a cell are below kMaxTolerance
constexpr std::uint64_t kOffsetMask = 0xFFFF;
constexpr std::uint32_t kSignBit = 0x80000000;

// Signed 32-bit values as unsigned ones in the same order, and back.
std::uint64_t Ordered(std::int64_t value) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ kSignBit;
}
std::int32_t Unordered(std::uint64_t bits) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits) ^ kSignBit);
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

}  // namespace

bool DirectionsAgree(std::int32_t a, std::int32_t b) {
  if (a == kAnyDirection || b == kAnyDirection) return true;
  const std::int64_t turn = ((std::int64_t{a} - b) % kFullTurn + kFullTurn) % kFullTurn;
  return std::min<std::int64_t>(turn, kFullTurn - turn) <= kDirectionSlack;
}

NearbyRecords::NearbyRecords(const RecordTable& table, const std::vector<std::uint32_t>& members,
                             int tolerance)
    : cellSize_(std::max(tolerance, 1)),
      squaredTolerance_(std::int64_t{tolerance} * tolerance),
      visitsLeft_(kSpotVisitsPerMember * members.size() + kSpotVisitsAllowance) {
  std::vector<Entry> entries;
  entries.reserve(members.size());
  for (const std::uint32_t row : members) {
    const std::int32_t x = table.Int(row, Column::kCoordX);
    const std::int32_t y = table.Int(row, Column::kCoordY);
    const std::int64_t cx = CellOf(x), cy = CellOf(y);
    const std::uint64_t offsetX = x - cx * cellSize_, offsetY = y - cy * cellSize_;
    entries.push_back(
        {CellKey(cx, cy),
         offsetX << kOffsetXShift | offsetY << kHalfWord | Ordered(table.Int(row, Column::kDir)),
         Ordered(table.Int(row, Column::kSc)) << kHalfWord | row});
  }
  std::sort(entries.begin(), entries.end());

  rows_.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    const bool newCell = i == 0 || entries[i - 1].cell != e.cell;
    if (newCell) {
      const auto spot = static_cast<std::uint32_t>(spots_.size());
      cells_.push_back({e.cell, spot, spot});
    }
    const bool newSpot = newCell || entries[i - 1].place != e.place ||
                         entries[i - 1].member >> kHalfWord != e.member >> kHalfWord;
    if (newSpot) {
      const auto member = static_cast<std::uint32_t>(rows_.size());
      const std::int64_t left = std::int64_t{Unordered(e.cell >> kHalfWord)} * cellSize_;
      const std::int64_t bottom = std::int64_t{Unordered(e.cell)} * cellSize_;
      spots_.push_back({static_cast<std::int32_t>(left + (e.place >> kOffsetXShift)),
                        static_cast<std::int32_t>(bottom + (e.place >> kHalfWord & kOffsetMask)),
                        Unordered(e.place), Unordered(e.member >> kHalfWord), member, member});
      ++cells_.back().spotEnd;
    }
    rows_.push_back(static_cast<std::uint32_t>(e.member));
    ++spots_.back().end;
  }
}

std::uint64_t NearbyRecords::CellKey(std::int64_t column, std::int64_t row) {
  return Ordered(column) << kHalfWord | Ordered(row);
}

std::int64_t NearbyRecords::CellOf(std::int32_t coordinate) const {
  return FloorDiv(coordinate, cellSize_);
}

std::size_t NearbyRecords::FindCell(std::uint64_t key, std::size_t from) const {
  const auto below = [key](const Cell& cell) { return cell.key < key; };
  from = std::min(from, cells_.size());
  if (from > 0 && !below(cells_[from - 1])) {
    // The key lies before the hint: search everything up to it.
    return std::partition_point(cells_.begin(), cells_.begin() + from, below) - cells_.begin();
  }
  // Gallop forward from the hint, then search the last step.
  std::size_t step = 1;
  std::size_t low = from;
  while (low + step <= cells_.size() && below(cells_[low + step - 1])) {
    low += step;
    step *= 2;
  }
  const std::size_t high = std::min(low + step, cells_.size());
  return std::partition_point(cells_.begin() + low, cells_.begin() + high, below) - cells_.begin();
}

}  // namespace radardb
