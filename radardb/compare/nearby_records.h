#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "radardb/records/record_table.h"

namespace radardb {

// When two records lie near one another: the same category "sc", at most the tolerance apart on
// the grid (straight-line distance between their (CoordX, CoordY)), and directions that agree.
// The comparison of databases (moved records) and the check (near-duplicates) share these rules
// and the index below.

inline constexpr int kDefaultTolerance = 25;
// One grid square: a record further away than that is another record, not a moved one.
inline constexpr int kMaxTolerance = 1000;
// Directions at most this many degrees apart, around the circle, agree.
inline constexpr std::int32_t kDirectionSlack = 10;
// The direction that stands for "any direction".
inline constexpr std::int32_t kAnyDirection = 360;
inline constexpr std::int32_t kFullTurn = 360;

// True when the directions `a` and `b` (in degrees as decoded, -180 to 289 or 360) agree: either
// is kAnyDirection, or they differ by at most kDirectionSlack degrees modulo a full turn (359 and
// 1 are 2 degrees apart, and so are 289 and -69).
bool DirectionsAgree(std::int32_t a, std::int32_t b);

// The square of the straight-line distance between two grid positions.
inline std::int64_t SquaredDistance(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                    std::int32_t y2) {
  const std::int64_t dx = std::int64_t{x1} - x2;
  const std::int64_t dy = std::int64_t{y1} - y2;
  return dx * dx + dy * dy;
}

// Rows of one table indexed for "which of them lie near this point": by square cells as wide as
// the tolerance (so everything near a point lies in the 3 x 3 cells around it), then by spot. A
// spot is one position with one direction and one category; its members are kept lowest row first
// and can be taken out one by one. Never compares all pairs: a search costs the number of spots
// in nine cells. Records crowded far more densely than any real database holds would still make
// that quadratic, so all searches together examine a bounded number of spots; after that the
// index is exhausted and finds nothing more.
class NearbyRecords {
 public:
  struct Spot {
    std::int32_t x;
    std::int32_t y;
    std::int32_t dir;
    std::int32_t sc;
    std::uint32_t next;  // where the lowest member not yet taken is kept
    std::uint32_t end;   // where the members end
  };

  // Where searches resume. Searches made in ascending order of position, as ForEachSpot visits
  // the spots, are fastest when they share one.
  struct Hint {
    std::size_t columns[3] = {0, 0, 0};
  };

  // Indexes the rows `members` of `table` (distinct row indices below table.size()).
  // `tolerance` must be 0 to kMaxTolerance. The table is read only while constructing.
  NearbyRecords(const RecordTable& table, const std::vector<std::uint32_t>& members, int tolerance);

  // Calls visit(spot, squaredDistance) for every spot of category `sc` within the tolerance of
  // (x, y) whose direction agrees with `dir` and which has members not yet taken, in an order
  // that is the same on every run. `visit` may Take() from the spot it is given.
  template <typename Visit>
  void ForEachNear(std::int32_t x, std::int32_t y, std::int32_t sc, std::int32_t dir, Hint& hint,
                   Visit&& visit);

  // True once the searches have examined kSpotVisitsPerMember spots per member (plus
  // kSpotVisitsAllowance); ForEachNear then visits nothing, and its callers report the failure.
  bool Exhausted() const { return visitsLeft_ == 0; }
  static constexpr std::uint64_t kSpotVisitsPerMember = 1024;
  static constexpr std::uint64_t kSpotVisitsAllowance = std::uint64_t{1} << 20;

  // Calls visit(spot) for every spot, cell by cell, and within a cell in ascending order of
  // (CoordX, CoordY, dir, sc): spots on one position with one direction follow one another.
  template <typename Visit>
  void ForEachSpot(Visit&& visit) const;

  // The members of `spot` not yet taken, lowest first.
  const std::uint32_t* MembersBegin(const Spot& spot) const { return rows_.data() + spot.next; }
  const std::uint32_t* MembersEnd(const Spot& spot) const { return rows_.data() + spot.end; }
  // The lowest member not yet taken; the spot must have one.
  std::uint32_t FirstMember(const Spot& spot) const { return rows_[spot.next]; }
  // Takes the lowest member out of `spot`, which must have one.
  static void Take(Spot& spot) { ++spot.next; }

 private:
  struct Cell {
    std::uint64_t key;  // CellKey()
    std::uint32_t spotBegin;
    std::uint32_t spotEnd;
  };

  // The cell (column, row), as one number in the order of (column, row).
  static std::uint64_t CellKey(std::int64_t column, std::int64_t row);
  // The first cell whose key is not below `key`; starts looking at `from`.
  std::size_t FindCell(std::uint64_t key, std::size_t from) const;
  std::int64_t CellOf(std::int32_t coordinate) const;

  std::int32_t cellSize_;
  std::int64_t squaredTolerance_;
  std::uint64_t visitsLeft_;
  std::vector<Cell> cells_;  // ascending keys
  std::vector<Spot> spots_;  // each cell's spots ascending by (x, y, dir, sc)
  std::vector<std::uint32_t> rows_;
};

template <typename Visit>
void NearbyRecords::ForEachNear(std::int32_t x, std::int32_t y, std::int32_t sc, std::int32_t dir,
                                Hint& hint, Visit&& visit) {
  constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
  const std::int64_t cx = CellOf(x);
  const std::int64_t cy = CellOf(y);
  for (int dx = -1; dx <= 1; ++dx) {
    if (cx + dx < kLow || cx + dx > kHigh) continue;
    // The three cells (cx + dx, cy - 1 .. cy + 1) follow one another in the key order.
    const std::uint64_t first = CellKey(cx + dx, std::max(cy - 1, kLow));
    const std::uint64_t last = CellKey(cx + dx, std::min(cy + 1, kHigh));
    std::size_t& at = hint.columns[dx + 1];
    at = FindCell(first, at);
    for (std::size_t c = at; c < cells_.size() && cells_[c].key <= last; ++c) {
      for (std::uint32_t s = cells_[c].spotBegin; s < cells_[c].spotEnd; ++s) {
        if (visitsLeft_ == 0) return;
        --visitsLeft_;
        Spot& spot = spots_[s];
        if (spot.sc != sc || spot.next == spot.end || !DirectionsAgree(dir, spot.dir)) continue;
        const std::int64_t distance = SquaredDistance(x, y, spot.x, spot.y);
        if (distance <= squaredTolerance_) visit(spot, distance);
      }
    }
  }
}

template <typename Visit>
void NearbyRecords::ForEachSpot(Visit&& visit) const {
  for (const Spot& spot : spots_) visit(spot);
}

}  // namespace radardb
