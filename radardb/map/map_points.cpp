#include "radardb/map/map_points.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace radardb {

namespace {

// The number of cells across and down for `points` points over a box `width` x `height` grid
// units: about kPointsPerCell points a cell, cells about square, never more cells than points
// would need (so a line of points does not get a cell per grid unit).
void ChooseCells(std::size_t points, std::int64_t width, std::int64_t height, std::size_t& across,
                 std::size_t& down) {
  const double wanted = std::max<double>(1, double(points) / MapPoints::kPointsPerCell);
  const double aspect = double(width) / double(height);
  across = static_cast<std::size_t>(
      std::clamp(std::round(std::sqrt(wanted * aspect)), 1.0, std::min(wanted, double(width))));
  down = static_cast<std::size_t>(
      std::clamp(std::floor(wanted / double(across)), 1.0, std::min(wanted, double(height))));
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

}  // namespace

MapPoints MapPoints::Build(const RowSource& source, std::span<const std::uint32_t> rows,
                           ColourBy colourBy) {
  MapPoints map;
  map.colourBy_ = colourBy;
  map.classCounts_.assign(static_cast<std::size_t>(ClassCount(colourBy)), 0);
  const std::size_t n = rows.size();
  if (n == 0) return map;

  const int xField = static_cast<int>(Column::kCoordX);
  const int yField = static_cast<int>(Column::kCoordY);
  const int dirField = static_cast<int>(Column::kDir);
  const int colourField = ColourField(colourBy);
  std::vector<std::int32_t> xs(n);
  std::vector<std::int32_t> ys(n);
  std::vector<std::uint8_t> classes(n);
  std::vector<std::int16_t> dirs(n);
  GridBounds& b = map.bounds_;
  b = {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
       std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
  for (std::size_t i = 0; i < n; ++i) {
    xs[i] = source.Int(rows[i], xField);
    ys[i] = source.Int(rows[i], yField);
    classes[i] = ClassOf(colourBy, source.Int(rows[i], colourField));
    // Decoded directions lie within -180..360; any other value is only turned about.
    dirs[i] = static_cast<std::int16_t>(source.Int(rows[i], dirField) % 360);
    ++map.classCounts_[classes[i]];
    b.minX = std::min(b.minX, xs[i]);
    b.maxX = std::max(b.maxX, xs[i]);
    b.minY = std::min(b.minY, ys[i]);
    b.maxY = std::max(b.maxY, ys[i]);
  }

  const std::int64_t width = std::int64_t{b.maxX} - b.minX + 1;
  const std::int64_t height = std::int64_t{b.maxY} - b.minY + 1;
  ChooseCells(n, width, height, map.cellsX_, map.cellsY_);
  map.cellWidth_ = CeilDiv(width, static_cast<std::int64_t>(map.cellsX_));
  map.cellHeight_ = CeilDiv(height, static_cast<std::int64_t>(map.cellsY_));
  map.cellsX_ = static_cast<std::size_t>(CeilDiv(width, map.cellWidth_));
  map.cellsY_ = static_cast<std::size_t>(CeilDiv(height, map.cellHeight_));

  // A counting sort by cell; the cell of each point is kept for the second pass.
  std::vector<std::uint32_t> cellOf(n);
  map.cellStart_.assign(map.cellsX_ * map.cellsY_ + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const auto cx = static_cast<std::size_t>((std::int64_t{xs[i]} - b.minX) / map.cellWidth_);
    const auto cy = static_cast<std::size_t>((std::int64_t{ys[i]} - b.minY) / map.cellHeight_);
    cellOf[i] = static_cast<std::uint32_t>(cy * map.cellsX_ + cx);
    ++map.cellStart_[cellOf[i] + 1];
  }
  for (std::size_t c = 1; c < map.cellStart_.size(); ++c) {
    map.cellStart_[c] += map.cellStart_[c - 1];
  }
  map.xs_.resize(n);
  map.ys_.resize(n);
  map.rows_.resize(n);
  map.classes_.resize(n);
  map.dirs_.resize(n);
  std::vector<std::uint32_t> next(map.cellStart_.begin(), map.cellStart_.end() - 1);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t at = next[cellOf[i]]++;
    map.xs_[at] = xs[i];
    map.ys_[at] = ys[i];
    map.rows_[at] = rows[i];
    map.classes_[at] = classes[i];
    map.dirs_[at] = dirs[i];
  }
  return map;
}

std::optional<MapPoints::CellRange> MapPoints::CellsMeeting(double minX, double minY, double maxX,
                                                            double maxY) const {
  if (empty() || !(minX <= bounds_.maxX && maxX >= bounds_.minX && minY <= bounds_.maxY &&
                   maxY >= bounds_.minY)) {
    return std::nullopt;
  }
  const auto cell = [](double at, std::int32_t origin, std::int64_t size, std::size_t count) {
    const double index = std::floor((at - origin) / double(size));
    return static_cast<std::size_t>(std::clamp(index, 0.0, double(count - 1)));
  };
  return CellRange{cell(minX, bounds_.minX, cellWidth_, cellsX_),
                   cell(maxX, bounds_.minX, cellWidth_, cellsX_),
                   cell(minY, bounds_.minY, cellHeight_, cellsY_),
                   cell(maxY, bounds_.minY, cellHeight_, cellsY_)};
}

std::optional<MapPoints::Hit> MapPoints::Nearest(double x, double y, double radius) const {
  std::optional<Hit> best;
  double bestDistance = radius * radius;
  VisitNear(x - radius, y - radius, x + radius, y + radius, [&](const Run& run) {
    for (std::size_t i = 0; i < run.count; ++i) {
      const double dx = run.xs[i] - x;
      const double dy = run.ys[i] - y;
      const double distance = dx * dx + dy * dy;
      const std::uint32_t row = rows_[run.first + i];
      if (distance < bestDistance || (distance == bestDistance && (!best || row < best->row))) {
        best = Hit{row, run.xs[i], run.ys[i]};
        bestDistance = distance;
      }
    }
  });
  return best;
}

void MapPoints::RowsWithin(std::int32_t x, std::int32_t y, std::int64_t radius,
                           std::vector<std::uint32_t>& rows) const {
  const double r = double(radius);
  VisitNear(x - r, y - r, x + r, y + r, [&](const Run& run) {
    for (std::size_t i = 0; i < run.count; ++i) {
      if (WithinRadius(run.xs[i], run.ys[i], x, y, radius)) rows.push_back(rows_[run.first + i]);
    }
  });
}

std::size_t MapPoints::MemoryBytes() const {
  return xs_.capacity() * sizeof(std::int32_t) + ys_.capacity() * sizeof(std::int32_t) +
         rows_.capacity() * sizeof(std::uint32_t) + classes_.capacity() +
         dirs_.capacity() * sizeof(std::int16_t) + cellStart_.capacity() * sizeof(std::uint32_t) +
         classCounts_.capacity() * sizeof(std::size_t);
}

}  // namespace radardb
