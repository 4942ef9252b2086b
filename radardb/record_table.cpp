#include "radardb/record_table.h"

#include <algorithm>

void RecordTable::Reserve(std::size_t rows, std::size_t textBytes) {
  rows_.reserve(rows);
  texts_.reserve(textBytes);
}

void RecordTable::Append(const Ints& ints, std::string_view speed, std::string_view road,
                         std::string_view city) {
  Row row{ints, texts_.size(), {}};
  const std::string_view texts[3] = {speed, road, city};
  for (int i = 0; i < 3; ++i) {
    const std::size_t length = std::min(texts[i].size(), kMaxTextLength);
    row.textLength[i] = static_cast<std::uint8_t>(length);
    texts_.insert(texts_.end(), texts[i].data(), texts[i].data() + length);
  }
  rows_.push_back(row);
}

void RecordTable::Clear() {
  rows_.clear();
  texts_.clear();
}

std::size_t RecordTable::CapacityBytes() const {
  return rows_.capacity() * sizeof(Row) + texts_.capacity();
}
