#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/large_pages.h"

namespace radardb {

// The table's columns, in display order: twelve integers, then three texts.
enum class Column : int {
  kIndex,
  kCoordX,
  kCoordY,
  kSS,
  kMS,
  kLS,
  kX,
  kY,
  kSc,
  kMph,
  kSpd,
  kDir,
  kSpeed,
  kRoad,
  kCity
};
inline constexpr int kColumnCount = 15;
inline constexpr int kIntColumnCount = 12;

inline constexpr bool IsTextColumn(Column c) { return static_cast<int>(c) >= kIntColumnCount; }

// Row numbers of a table in the order they are shown: every row, or those a filter picks. A
// million rows' order is 4 MB, filled at once, so it is held in large pages like the rows.
using RowOrder = std::vector<std::uint32_t, platform::LargePageAllocator<std::uint32_t>>;

// Every row of a table of `rows` rows, in table order.
RowOrder TableOrder(std::size_t rows);

// The rows of a loaded database, stored compactly: each row holds its twelve integers and the
// offset of its three texts in one shared byte arena, so a million rows cost a few tens of
// megabytes and no heap object per cell. Texts are raw bytes, kept exactly as read.
class RecordTable {
 public:
  using Ints = std::array<std::int32_t, kIntColumnCount>;

  // Longest text a record can hold (its field width); longer texts are cut to this.
  static constexpr std::size_t kMaxTextLength = 255;

  void Reserve(std::size_t rows, std::size_t textBytes);
  // Appends a row. Each text is cut to kMaxTextLength bytes.
  void Append(const Ints& ints, std::string_view speed, std::string_view road,
              std::string_view city);
  void Clear();

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  // `column` must be an integer column, `row` below size().
  std::int32_t Int(std::size_t row, Column column) const {
    return rows_[row].ints[static_cast<int>(column)];
  }
  // `column` must be a text column, `row` below size(). Valid until the table changes.
  std::string_view Text(std::size_t row, Column column) const {
    const Row& r = rows_[row];
    const int field = static_cast<int>(column) - kIntColumnCount;
    const char* text = TextsOf(r);
    for (int i = 0; i < field; ++i) text += r.textLength[i];
    return {text, r.textLength[field]};
  }

  // The row's three texts back to back, Speed, Road and City: what Text gives one by one.
  std::string_view RowTexts(std::size_t row) const {
    const Row& r = rows_[row];
    return {TextsOf(r), std::size_t{r.textLength[0]} + r.textLength[1] + r.textLength[2]};
  }

  // Bytes held by the table, rows and texts, for memory measurements.
  std::size_t CapacityBytes() const;

  // A row as the table stores it: its integers and where its texts lie. A stored row stays valid
  // for its table until Clear(), also after it was taken out, since texts are never moved; so
  // editing and its undo swap stored rows and copy no text. Texts given by SetTexts lie in an
  // arena of their own, so editing never grows the loaded texts' arena.
  struct StoredRow {
    Ints ints;
    std::uint64_t textOffset;
    std::uint8_t textLength[3];
  };
  // Stored rows with the positions they stand at, ascending.
  using PlacedRows = std::vector<std::pair<std::uint32_t, StoredRow>>;

  // `row` below size().
  const StoredRow& Stored(std::size_t row) const { return rows_[row]; }
  void Restore(std::size_t row, const StoredRow& stored) { rows_[row] = stored; }
  void SetInts(std::size_t row, const Ints& ints) { rows_[row].ints = ints; }
  // A row not in the table yet, for PutBack: `ints` and the texts, stored as SetTexts stores them.
  StoredRow NewRow(const Ints& ints, std::string_view speed, std::string_view road,
                   std::string_view city);
  // Gives the row new texts, each cut to kMaxTextLength bytes; the old ones stay where they were.
  void SetTexts(std::size_t row, std::string_view speed, std::string_view road,
                std::string_view city);
  // Takes out the rows at `positions` (ascending, distinct, below size()) and returns them with
  // their positions. One pass over the table, whatever the count.
  PlacedRows Take(std::span<const std::uint32_t> positions);
  // Puts rows in so that each stands at its position afterwards (what Take returned, or new
  // rows); the positions must be ascending and below size() + rows.size(). Room for more rows
  // grows by a small part of the table, not by doubling it.
  void PutBack(const PlacedRows& rows);

 private:
  using Row = StoredRow;
  using TextArena = std::vector<char, platform::LargePageAllocator<char>>;
  // Marks a textOffset into editedTexts_.
  static constexpr std::uint64_t kEditedTexts = std::uint64_t{1} << 63;

  const char* TextsOf(const Row& r) const {
    return (r.textOffset & kEditedTexts) != 0 ? editedTexts_.data() + (r.textOffset ^ kEditedTexts)
                                              : texts_.data() + r.textOffset;
  }
  // Appends the texts to `arena`; fills in the row's lengths and returns their offset there.
  static std::uint64_t StoreTexts(TextArena& arena, Row& row, std::string_view speed,
                                  std::string_view road, std::string_view city);

  std::vector<Row, platform::LargePageAllocator<Row>> rows_;
  TextArena texts_;
  TextArena editedTexts_;
};

}  // namespace radardb
