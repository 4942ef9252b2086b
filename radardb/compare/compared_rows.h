#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/database_diff.h"
#include "radardb/records/record_table.h"
#include "radardb/records/row_source.h"

namespace radardb {

using platform::Status;

// A database compared with an earlier release of it, as one table for the window: the database's
// own rows (NEW) keep their numbers 0 to N-1 and each gains its change; OLD's removed rows follow
// as N to N+R-1, in OLD's order, each keeping its index in OLD as "#".

// The field id of the change: the column after the record's fifteen.
inline constexpr int kChangeField = kColumnCount;

// RecordFields() and then "Change", a choice field whose words are those of the summary: added,
// removed, moved (the moved and changed records included, as the summary counts them), changed,
// unchanged. A filter parsed over these fields reads a ComparedRows.
std::span<const RowField> ComparedFields();

// The rows of a comparison, for ComparedFields. Immutable, so safe to read from several threads.
class ComparedRows final : public RowSource {
 public:
  // `newRows` with the changes `diff` found for them, and copies of `oldRows`' removed rows.
  // `diff` must be a successful CompareDatabases(oldRows, *newRows).
  ComparedRows(std::shared_ptr<const RecordTable> newRows, const RecordTable& oldRows,
               DatabaseDiff diff);

  std::size_t size() const override { return newRows_->size() + removed_.size(); }
  // The change field reads as the RecordChange's value.
  std::int32_t Int(std::uint32_t row, int field) const override;
  // The change field reads as its ChangeWord: "" for an unchanged row, "moved+changed", ...
  std::string_view Text(std::uint32_t row, int field) const override;

  RecordChange Change(std::uint32_t row) const {
    return IsRemoved(row) ? RecordChange::kRemoved : changes_[row];
  }
  bool IsRemoved(std::uint32_t row) const { return row >= newRows_->size(); }
  const ChangeCounts& Counts() const { return counts_; }
  // The table the comparison was made for.
  const std::shared_ptr<const RecordTable>& NewRows() const { return newRows_; }
  // The table that holds `row` (NEW's rows or the removed ones) and the row's number there.
  std::pair<const RecordTable*, std::uint32_t> Locate(std::uint32_t row) const;
  // For a changed or moved row, OLD's record it was paired with, as the table that holds a copy
  // of it and the copy's number there ("#" is its index in OLD); {nullptr, 0} for any other row.
  std::pair<const RecordTable*, std::uint32_t> Earlier(std::uint32_t row) const;
  // Bytes held besides NEW's rows.
  std::size_t MemoryBytes() const {
    return changes_.capacity() + removed_.CapacityBytes() + earlier_.CapacityBytes() +
           earlierRows_.capacity() * sizeof(std::uint32_t);
  }

 private:
  std::shared_ptr<const RecordTable> newRows_;
  std::vector<RecordChange> changes_;
  RecordTable removed_;
  // Copies of the OLD records of the changed and moved rows, for the rows in `earlierRows_`
  // (ascending) at the same places.
  RecordTable earlier_;
  std::vector<std::uint32_t> earlierRows_;
  ChangeCounts counts_;
};

// Reads the archive at `oldArchive` (ReadArchiveRows, so nothing is written beside it) and
// compares it, as OLD, with `newRows`, the default tolerance apart. On success sets `compared`.
// Fails, leaving `compared` as it was, with the loader's texts for the archive, the comparison's
// (kTooCrowdedToCompare) or "Out of memory".
Status CompareWithArchive(const std::string& oldArchive, std::shared_ptr<const RecordTable> newRows,
                          std::shared_ptr<const ComparedRows>& compared);

// The export while comparing: ExportCsvFile's CSV with a fifteenth field, "Change" in the header
// and the row's ChangeWord on each line, for the rows of `rows` listed in `order`, in that order.
// Fails as ExportCsvFile does.
Status ExportComparedCsvFile(const ComparedRows& rows, const RowOrder& order,
                             const std::string& path);

}  // namespace radardb
