#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace radardb {

// The rule of the filter's near: terms: grid position (x, y) lies within `radius` grid units of
// (centreX, centreY), by straight-line distance, the edge included. `radius` is 0 to INT32_MAX.
inline bool WithinRadius(std::int32_t x, std::int32_t y, std::int32_t centreX, std::int32_t centreY,
                         std::int64_t radius) {
  const std::int64_t dx = std::int64_t{x} - centreX;
  const std::int64_t dy = std::int64_t{y} - centreY;
  // Either side beyond the radius settles it; within it, both squares and their sum fit.
  if (dx > radius || dx < -radius || dy > radius || dy < -radius) return false;
  return dx * dx + dy * dy <= radius * radius;
}

// An index of every row of a RowSource by its grid position (CoordX, CoordY), which answers a
// near: term without reading every row. The filter asks; the map's points implement it.
class PositionIndex {
 public:
  virtual ~PositionIndex() = default;
  // The number of rows indexed: those of the source, 0 to size() - 1.
  virtual std::size_t size() const = 0;
  // Appends to `rows` every row whose position lies WithinRadius of (x, y), in no set order.
  virtual void RowsWithin(std::int32_t x, std::int32_t y, std::int64_t radius,
                          std::vector<std::uint32_t>& rows) const = 0;
};

}  // namespace radardb
