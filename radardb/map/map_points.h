#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "radardb/records/position_index.h"
#include "radardb/map/map_colours.h"
#include "radardb/records/row_source.h"

namespace radardb {

// The smallest box holding every point, in grid units, both ends inclusive.
struct GridBounds {
  std::int32_t minX = 0;
  std::int32_t minY = 0;
  std::int32_t maxX = 0;
  std::int32_t maxY = 0;
};

// The points of a map: one per row, at (CoordX, CoordY), with its colour class and direction; an
// immutable
// value built once per set of rows. The points are kept in cells of a uniform grid over their
// bounds, about kPointsPerCell to a cell, so drawing a part of the map and finding the point
// nearest to a position read only the cells concerned. Holds about 16 bytes a point. Built over
// every row of a source, it is that source's PositionIndex for the filter's near: terms.
class MapPoints final : public PositionIndex {
 public:
  // A point found near a position: the row it came from and where it lies.
  struct Hit {
    std::uint32_t row;
    std::int32_t x;
    std::int32_t y;
  };

  // No points.
  MapPoints() = default;
  // The points of `rows` (row numbers of `source`, whose fields are the RecordFields ids:
  // CoordX, CoordY, dir and the column of `colourBy`), coloured by `colourBy`. Reads `source`
  // only here.
  static MapPoints Build(const RowSource& source, std::span<const std::uint32_t> rows,
                         ColourBy colourBy);

  std::size_t size() const override { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  ColourBy Colouring() const { return colourBy_; }
  // Meaningless while empty().
  const GridBounds& Bounds() const { return bounds_; }
  // The number of points of each class, indexed by class (ClassCount(Colouring()) entries).
  const std::vector<std::size_t>& ClassCounts() const { return classCounts_; }

  // The point nearest to (x, y) at most `radius` grid units away; of several as near, the one of
  // the lowest row. Nothing when no point is that near.
  std::optional<Hit> Nearest(double x, double y, double radius) const;
  // Appends the row of every point WithinRadius of (x, y).
  void RowsWithin(std::int32_t x, std::int32_t y, std::int64_t radius,
                  std::vector<std::uint32_t>& rows) const override;

  // A run of points that follow one another: `count` entries from each array; `first` is the
  // place of the first in the map's own order.
  struct Run {
    const std::int32_t* xs;
    const std::int32_t* ys;
    const std::uint8_t* classes;
    const std::int16_t* dirs;
    std::size_t first;
    std::size_t count;
  };
  // Calls visit(run) for runs of points that together hold every point within [minX, maxX] x
  // [minY, maxY], and maybe a few around.
  template <typename Visit>
  void VisitNear(double minX, double minY, double maxX, double maxY, Visit&& visit) const;

  // Bytes held, for memory measurements.
  std::size_t MemoryBytes() const;

  static constexpr std::size_t kPointsPerCell = 4;

 private:
  struct CellRange {
    std::size_t firstX, lastX, firstY, lastY;
  };
  // The cells that meet the box, or nothing when the box misses the bounds.
  std::optional<CellRange> CellsMeeting(double minX, double minY, double maxX, double maxY) const;

  ColourBy colourBy_ = ColourBy::kSc;
  GridBounds bounds_;
  // Sorted by cell, row after row of cells from the lowest CoordY; in a cell in `rows` order.
  std::vector<std::int32_t> xs_;
  std::vector<std::int32_t> ys_;
  std::vector<std::uint32_t> rows_;
  std::vector<std::uint8_t> classes_;
  std::vector<std::int16_t> dirs_;
  std::vector<std::size_t> classCounts_;
  // The points of cell (cx, cy) are [cellStart_[cy * cellsX_ + cx], the next cell's start).
  std::vector<std::uint32_t> cellStart_;
  std::size_t cellsX_ = 0;
  std::size_t cellsY_ = 0;
  std::int64_t cellWidth_ = 1;  // grid units
  std::int64_t cellHeight_ = 1;
};

template <typename Visit>
void MapPoints::VisitNear(double minX, double minY, double maxX, double maxY, Visit&& visit) const {
  const std::optional<CellRange> cells = CellsMeeting(minX, minY, maxX, maxY);
  if (!cells) return;
  // The cells of one row that meet the box hold consecutive points.
  for (std::size_t cy = cells->firstY; cy <= cells->lastY; ++cy) {
    const std::uint32_t begin = cellStart_[cy * cellsX_ + cells->firstX];
    const std::uint32_t end = cellStart_[cy * cellsX_ + cells->lastX + 1];
    if (begin == end) continue;
    visit(Run{xs_.data() + begin, ys_.data() + begin, classes_.data() + begin, dirs_.data() + begin,
              begin, std::size_t{end - begin}});
  }
}

}  // namespace radardb
