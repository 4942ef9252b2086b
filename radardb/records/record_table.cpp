#include "radardb/records/record_table.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace radardb {

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
  std::string_view texts[3] = {speed, road, city};
  Row row{ints, texts_.size(), {}};
  std::size_t total = 0;
  for (int i = 0; i < 3; ++i) {
    if (texts[i].size() > kMaxTextLength) texts[i] = texts[i].substr(0, kMaxTextLength);
    row.textLength[i] = static_cast<std::uint8_t>(texts[i].size());
    total += texts[i].size();
  }
  // One resize and a plain copy per text: inserting them one by one copies a byte at a time.
  texts_.resize(texts_.size() + total);
  char* out = texts_.data() + row.textOffset;
  for (const std::string_view text : texts) {
    if (text.empty()) continue;  // its data() may be null, which memcpy must not get
    std::memcpy(out, text.data(), text.size());
    out += text.size();
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

}  // namespace radardb
