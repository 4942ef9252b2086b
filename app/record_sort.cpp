#include "app/record_sort.h"

#include <algorithm>
#include <string_view>

using namespace radardb;

namespace {

// A text's first eight bytes as a big-endian number, zero-padded: comparing two of these orders
// the texts as their bytes do, except that equal prefixes need the whole texts to decide.
std::uint64_t TextPrefix(std::string_view text) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < sizeof prefix; ++i) {
    const std::uint64_t byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
    prefix = prefix << 8 | byte;
  }
  return prefix;
}

struct TextKey {
  std::uint64_t prefix;
  std::string_view text;  // compares through char_traits<char>: bytes as unsigned char
  std::uint32_t row;

  bool operator<(const TextKey& other) const {
    if (prefix != other.prefix) return prefix < other.prefix;
    return text < other.text;
  }
};

struct IntKey {
  std::int32_t value;
  std::uint32_t row;

  bool operator<(const IntKey& other) const { return value < other.value; }
};

template <typename Key>
RowOrder SortKeys(std::vector<Key>& keys, SortDirection direction) {
  if (direction == SortDirection::kAscending) {
    std::stable_sort(keys.begin(), keys.end());
  } else {
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return b < a; });
  }
  RowOrder sorted;
  sorted.reserve(keys.size());
  for (const Key& key : keys) sorted.push_back(key.row);
  return sorted;
}

}  // namespace

RowOrder SortedOrder(const RowSource& rows, const RowOrder& order, int field, bool byText,
                     SortDirection direction) {
  if (byText) {
    std::vector<TextKey> keys;
    keys.reserve(order.size());
    for (const std::uint32_t row : order) {
      const std::string_view text = rows.Text(row, field);
      keys.push_back({TextPrefix(text), text, row});
    }
    return SortKeys(keys, direction);
  }
  std::vector<IntKey> keys;
  keys.reserve(order.size());
  for (const std::uint32_t row : order) keys.push_back({rows.Int(row, field), row});
  return SortKeys(keys, direction);
}
