#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "radardb/edit/cell_edit.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_table.h"

namespace radardb {

// Edits of a loaded database, kept as what changed and never as a copy of it. The table's rows
// are edited in place; the log knows, for each row by its "#", which record fields were edited
// and, for an added row, the loaded record it was copied from. Saving takes every other bit from
// the archive the table was loaded from, so memory grows with the edits and not with the table.
class EditLog {
 public:
  struct RowEdits {
    EditedFields fields = 0;
    std::uint32_t source = 0;  // the loaded record whose bytes the row starts from
    bool operator==(const RowEdits&) const = default;
  };

  // Rows "#" 0 to `loadedRecords` - 1 are the records of the archive, in its order.
  explicit EditLog(std::uint32_t loadedRecords = 0)
      : loadedRecords_(loadedRecords), nextId_(loadedRecords) {}

  std::uint32_t LoadedRecords() const { return loadedRecords_; }
  // What row "#" `id` owes its record: nothing edited, itself as the source, unless logged.
  RowEdits Of(std::uint32_t id) const;
  void Set(std::uint32_t id, const RowEdits& edits);
  // A "#" for a row added, after every one given so far.
  std::uint32_t NewId() { return nextId_++; }
  // Row "#" `id` (added) starts from `record`, which the archive loaded does not hold: records
  // added from another database or given by a change list. Kept until the log starts again.
  void SetOwnRecord(std::uint32_t id, const RadarRecord& record) { own_[id] = record; }
  // The record row "#" `id` starts from when it is not one of the archive's, or null.
  const RadarRecord* OwnRecord(std::uint32_t id) const {
    const auto found = own_.find(id);
    return found == own_.end() ? nullptr : &found->second;
  }
  // Rows logged, for memory measurements.
  std::size_t size() const { return edits_.size(); }

 private:
  std::uint32_t loadedRecords_;
  std::uint32_t nextId_;
  std::unordered_map<std::uint32_t, RowEdits> edits_;
  std::unordered_map<std::uint32_t, RadarRecord> own_;
};

// One cell set: the row before and after, and what the log says of it before and after.
struct CellChange {
  std::uint32_t row = 0;
  RecordTable::StoredRow before{};
  RecordTable::StoredRow after{};
  EditLog::RowEdits editsBefore;
  EditLog::RowEdits editsAfter;
};

// Rows taken out or put in, with what the log said of the ones put in.
struct RowsChange {
  RecordTable::PlacedRows rows;
  std::vector<std::pair<std::uint32_t, EditLog::RowEdits>> edits;  // by "#", for added rows
};

// Works out setting the cell of `row` in `column` to `input` (see EditCell); the new texts are
// stored in the table's arena, the row itself is not changed yet. Fails with EditCell's reason;
// a value equal to the cell's makes no change and reports kind kCancelled.
Status PrepareCellChange(RecordTable& table, const EditLog& log, std::uint32_t row, Column column,
                         std::string_view input, CellChange& change);
// Applies `change` (forward) or takes it back.
void ApplyCellChange(RecordTable& table, EditLog& log, const CellChange& change, bool forward);

// Removing the rows at `positions` (ascending, distinct): Take and PutBack of the table.
RowsChange RemoveRows(RecordTable& table, std::span<const std::uint32_t> positions);
// Copies of the rows at `positions` (ascending, distinct), each with a new "#" and the copied
// row's edits, placed right after the row copied: PutBackRows adds them, TakeOutRows takes them
// out again. The table is not changed.
RowsChange MakeCopies(const RecordTable& table, EditLog& log,
                      std::span<const std::uint32_t> positions);
// Rows for `records` (whole 241-byte records one after another), each with a new "#" and the
// record as its own (EditLog::SetOwnRecord), to stand at `places` (ascending, one per record), or
// from `firstPlace` on when `places` is empty: PutBackRows adds them. Their texts are stored in
// the table's arena; the rows are not changed.
RowsChange MakeRecordRows(RecordTable& table, EditLog& log, std::string_view records,
                          std::span<const std::uint32_t> places, std::uint32_t firstPlace = 0);
// Puts back rows removed, or adds again rows added, as `change` holds them.
void PutBackRows(RecordTable& table, EditLog& log, const RowsChange& change);
// Takes out again the rows `change` put in.
void TakeOutRows(RecordTable& table, const RowsChange& change);

}  // namespace radardb
