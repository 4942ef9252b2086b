#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "radardb/records/record_table.h"

namespace radardb {

// The row interface: the fields a table of rows offers by name, and how their values are read.
// The filter, the map, the sort and the comparison's table all read rows through it.

// A value a choice field may hold, named by a word: the field's integers from `low` to `high`.
struct FieldChoice {
  std::string_view word;  // matched ignoring ASCII case
  std::int32_t low;
  std::int32_t high;
};

// A field of a row, by the name its table shows and filters use.
struct RowField {
  // kChoice: an integer field whose terms name one of `choices` instead of a number.
  // kFlags: the same, but the field holds a set of bits, and a term matches a value sharing a bit
  // with its choice's `low`.
  enum class Kind { kInteger, kText, kChoice, kFlags };

  std::string_view name;  // as the table's header shows it; matched ignoring ASCII case
  Kind kind;
  int id;                // passed back to RowSource
  bool searchedByWords;  // a text field that bare words and phrases look into
  std::span<const FieldChoice> choices = {};
};

// The record table's fields: its fifteen columns by their header names ("#", "CoordX", ...,
// "City"), each with its Column as id; words search Speed, Road and City.
std::span<const RowField> RecordFields();

// Where the values of rows are read, by field id. Must be safe to read from several
// threads at once.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // Rows are numbered from 0 to size() - 1.
  virtual std::size_t size() const = 0;
  virtual std::int32_t Int(std::uint32_t row, int field) const = 0;
  // Raw bytes, as stored.
  virtual std::string_view Text(std::uint32_t row, int field) const = 0;
};

// The rows of a RecordTable, for RecordFields; `table` must outlive the source.
class RecordTableSource final : public RowSource {
 public:
  explicit RecordTableSource(const RecordTable& table) : table_(table) {}
  std::size_t size() const override { return table_.size(); }
  std::int32_t Int(std::uint32_t row, int field) const override {
    return table_.Int(row, static_cast<Column>(field));
  }
  std::string_view Text(std::uint32_t row, int field) const override {
    return table_.Text(row, static_cast<Column>(field));
  }
  const RecordTable& Table() const { return table_; }

 private:
  const RecordTable& table_;
};

}  // namespace radardb
