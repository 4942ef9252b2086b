#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/database_check.h"
#include "radardb/records/record_table.h"
#include "radardb/records/row_source.h"

namespace radardb {

using platform::Status;

// A loaded table with the findings of its check, as one table for the window: every row keeps
// its number and gains the kinds of its findings.

// The field id of the findings: the column after the record's fifteen.
inline constexpr int kFindingField = kColumnCount;

// RecordFields() and then "Finding", a field of flags whose words are the findings' (FindingWord)
// and "any". A filter parsed over these fields reads a CheckedRows.
std::span<const RowField> CheckedFields();

// The rows of a check, for CheckedFields. Immutable, but for the table it reads: rows added to
// the table later have no findings. Safe to read from several threads.
class CheckedRows final : public RowSource {
 public:
  // `report` must be a CheckTable of `*rows`.
  CheckedRows(std::shared_ptr<const RecordTable> rows, CheckReport report);

  std::size_t size() const override { return rows_->size(); }
  // The findings field reads as a bit (1 << FindingKind) for each kind of the row's findings.
  std::int32_t Int(std::uint32_t row, int field) const override;
  // The findings field reads as their words in the order of FindingKind, joined by ", ".
  std::string_view Text(std::uint32_t row, int field) const override;

  // The findings about `row`, ordered by kind.
  std::span<const Finding> FindingsOf(std::uint32_t row) const;
  const CheckReport& Report() const { return report_; }
  // Bytes held besides the table.
  std::size_t MemoryBytes() const {
    return kinds_.capacity() + report_.findings.capacity() * sizeof(Finding);
  }
  // The table that was checked.
  const std::shared_ptr<const RecordTable>& Rows() const { return rows_; }

 private:
  std::shared_ptr<const RecordTable> rows_;
  CheckReport report_;
  std::vector<std::uint8_t> kinds_;  // each row's bits, as Int reads them
};

// Checks `rows` (CheckTable, the default tolerance) and on success sets `checked`. Fails, leaving
// `checked` as it was, with kTooCrowdedToCheck or "Out of memory".
Status CheckLoadedRows(std::shared_ptr<const RecordTable> rows,
                       std::shared_ptr<const CheckedRows>& checked);

}  // namespace radardb
