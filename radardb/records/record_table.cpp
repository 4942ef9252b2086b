#include "radardb/records/record_table.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace radardb {

namespace {

// Rows put back beyond the room there is get room for this share of the table more.
constexpr std::size_t kGrowthShare = 32;

}  // namespace

RowOrder TableOrder(std::size_t rows) {
  RowOrder order(rows);
  std::iota(order.begin(), order.end(), std::uint32_t{0});
  return order;
}

void RecordTable::Reserve(std::size_t rows, std::size_t textBytes) {
  rows_.reserve(rows);
  texts_.reserve(textBytes);
}

void RecordTable::Append(const Ints& ints, std::string_view speed, std::string_view road,
                         std::string_view city) {
  Row row{ints, 0, {}};
  row.textOffset = StoreTexts(texts_, row, speed, road, city);
  rows_.push_back(row);
}

std::uint64_t RecordTable::StoreTexts(TextArena& arena, Row& row, std::string_view speed,
                                      std::string_view road, std::string_view city) {
  std::string_view texts[3] = {speed, road, city};
  const std::size_t offset = arena.size();
  std::size_t total = 0;
  for (int i = 0; i < 3; ++i) {
    if (texts[i].size() > kMaxTextLength) texts[i] = texts[i].substr(0, kMaxTextLength);
    row.textLength[i] = static_cast<std::uint8_t>(texts[i].size());
    total += texts[i].size();
  }
  // One resize and a plain copy per text: inserting them one by one copies a byte at a time.
  arena.resize(arena.size() + total);
  char* out = arena.data() + offset;
  for (const std::string_view text : texts) {
    if (text.empty()) continue;  // its data() may be null, which memcpy must not get
    std::memcpy(out, text.data(), text.size());
    out += text.size();
  }
  return offset;
}

void RecordTable::SetTexts(std::size_t row, std::string_view speed, std::string_view road,
                           std::string_view city) {
  Row& r = rows_[row];
  r.textOffset = StoreTexts(editedTexts_, r, speed, road, city) | kEditedTexts;
}

RecordTable::StoredRow RecordTable::NewRow(const Ints& ints, std::string_view speed,
                                           std::string_view road, std::string_view city) {
  Row row{ints, 0, {}};
  row.textOffset = StoreTexts(editedTexts_, row, speed, road, city) | kEditedTexts;
  return row;
}

RecordTable::PlacedRows RecordTable::Take(std::span<const std::uint32_t> positions) {
  PlacedRows taken;
  taken.reserve(positions.size());
  std::size_t kept = positions.empty() ? rows_.size() : positions.front();
  std::size_t next = 0;
  for (std::size_t row = kept; row < rows_.size(); ++row) {
    if (next < positions.size() && positions[next] == row) {
      taken.emplace_back(static_cast<std::uint32_t>(row), rows_[row]);
      ++next;
    } else {
      rows_[kept++] = rows_[row];
    }
  }
  rows_.resize(kept);
  return taken;
}

void RecordTable::PutBack(const PlacedRows& rows) {
  if (rows.empty()) return;
  std::size_t old = rows_.size();
  // Doubling the room of a million rows for a few copies would cost tens of megabytes.
  if (old + rows.size() > rows_.capacity()) rows_.reserve(old + rows.size() + old / kGrowthShare);
  rows_.resize(old + rows.size());
  // From the back, so every row moves once and none is overwritten before it moved.
  std::size_t next = rows.size();
  for (std::size_t at = rows_.size(); at-- > rows.front().first;) {
    if (next > 0 && rows[next - 1].first == at) {
      rows_[at] = rows[--next].second;
    } else {
      rows_[at] = rows_[--old];
    }
  }
}

void RecordTable::Clear() {
  rows_.clear();
  texts_.clear();
  editedTexts_.clear();
}

std::size_t RecordTable::CapacityBytes() const {
  return rows_.capacity() * sizeof(Row) + texts_.capacity() + editedTexts_.capacity();
}

}  // namespace radardb
