#include "radardb/edit/table_edits.h"

#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

std::uint32_t IdOf(const RecordTable::StoredRow& row) {
  return static_cast<std::uint32_t>(row.ints[static_cast<int>(Column::kIndex)]);
}

std::vector<std::uint32_t> Positions(const RecordTable::PlacedRows& rows) {
  std::vector<std::uint32_t> positions;
  positions.reserve(rows.size());
  for (const auto& placed : rows) positions.push_back(placed.first);
  return positions;
}

}  // namespace

EditLog::RowEdits EditLog::Of(std::uint32_t id) const {
  const auto found = edits_.find(id);
  return found == edits_.end() ? RowEdits{0, id} : found->second;
}

void EditLog::Set(std::uint32_t id, const RowEdits& edits) {
  if (edits == RowEdits{0, id}) {
    edits_.erase(id);
  } else {
    edits_[id] = edits;
  }
}

Status PrepareCellChange(RecordTable& table, const EditLog& log, std::uint32_t row, Column column,
                         std::string_view input, CellChange& change) {
  CellEdit edit;
  const Status edited = EditCell(table, row, column, input, edit);
  if (!edited.ok()) return edited;
  const RecordTable::StoredRow before = table.Stored(row);
  const bool textEdited = IsTextColumn(column);
  const int text = static_cast<int>(column) - kIntColumnCount;
  const bool same =
      textEdited ? table.Text(row, column) == edit.texts[text] : before.ints == edit.ints;
  if (same) return Status::Cancelled();
  change.row = row;
  change.before = before;
  change.editsBefore = log.Of(IdOf(before));
  change.editsAfter = change.editsBefore;
  change.editsAfter.fields |= edit.fields;
  // The texts are stored through the row and the row put back: only the arena keeps them.
  table.SetInts(row, edit.ints);
  if (textEdited) table.SetTexts(row, edit.texts[0], edit.texts[1], edit.texts[2]);
  change.after = table.Stored(row);
  table.Restore(row, before);
  return Status();
}

void ApplyCellChange(RecordTable& table, EditLog& log, const CellChange& change, bool forward) {
  table.Restore(change.row, forward ? change.after : change.before);
  log.Set(IdOf(change.before), forward ? change.editsAfter : change.editsBefore);
}

RowsChange RemoveRows(RecordTable& table, std::span<const std::uint32_t> positions) {
  return {table.Take(positions), {}};
}

RowsChange MakeCopies(const RecordTable& table, EditLog& log,
                      std::span<const std::uint32_t> positions) {
  RowsChange change;
  change.rows.reserve(positions.size());
  change.edits.reserve(positions.size());
  std::uint32_t added = 0;
  for (const std::uint32_t position : positions) {
    RecordTable::StoredRow copy = table.Stored(position);
    const EditLog::RowEdits edits = log.Of(IdOf(copy));
    const std::uint32_t id = log.NewId();
    if (const RadarRecord* own = log.OwnRecord(IdOf(copy))) log.SetOwnRecord(id, *own);
    copy.ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(id);
    change.rows.emplace_back(position + 1 + added++, copy);
    change.edits.emplace_back(id, edits);
  }
  return change;
}

RowsChange MakeRecordRows(RecordTable& table, EditLog& log, std::string_view records,
                          std::span<const std::uint32_t> places, std::uint32_t firstPlace) {
  const std::size_t count = records.size() / kRadarRecordSize;
  RowsChange change;
  change.rows.reserve(count);
  change.edits.reserve(count);
  const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
  RadarRecord record;
  for (std::size_t i = 0; i < count; ++i, bytes += kRadarRecordSize) {
    record.Read(bytes);
    const std::uint32_t id = log.NewId();
    log.SetOwnRecord(id, record);
    const auto place = places.empty() ? firstPlace + static_cast<std::uint32_t>(i) : places[i];
    change.rows.emplace_back(place, table.NewRow(RecordRowInts(record, id), record.SpeedText(),
                                                 record.RoadText(), record.CityText()));
    change.edits.emplace_back(id, EditLog::RowEdits{0, id});
  }
  return change;
}

void PutBackRows(RecordTable& table, EditLog& log, const RowsChange& change) {
  table.PutBack(change.rows);
  for (const auto& [id, edits] : change.edits) log.Set(id, edits);
}

void TakeOutRows(RecordTable& table, const RowsChange& change) {
  const std::vector<std::uint32_t> positions = Positions(change.rows);
  table.Take(positions);
}

}  // namespace radardb
