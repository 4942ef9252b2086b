// The editing half of RecordTableModel: changes of the loaded rows in place, and the order and
// the rows shown following them without a new sort or filter of the whole table.
#include <algorithm>
#include <limits>

#include "app/record_table_model.h"
#include "app/text_decoding.h"

using namespace radardb;

namespace {

constexpr std::uint32_t kGone = std::numeric_limits<std::uint32_t>::max();

// Each row's place after `positions` (ascending) were taken out of `size` rows.
std::vector<std::uint32_t> PlacesAfterTaking(std::size_t size,
                                             const std::vector<std::uint32_t>& positions) {
  std::vector<std::uint32_t> places(size);
  std::size_t next = 0;
  std::uint32_t place = 0;
  for (std::uint32_t row = 0; row < size; ++row) {
    if (next < positions.size() && positions[next] == row) {
      places[row] = kGone;
      ++next;
    } else {
      places[row] = place++;
    }
  }
  return places;
}

std::vector<std::uint32_t> PositionsOf(const RowsChange& change) {
  std::vector<std::uint32_t> positions;
  positions.reserve(change.rows.size());
  for (const auto& placed : change.rows) positions.push_back(placed.first);
  return positions;
}

}  // namespace

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (Editable() && index.isValid() && index.column() != static_cast<int>(Column::kIndex) &&
      index.column() < kColumnCount) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
      !(flags(index) & Qt::ItemIsEditable)) {
    return false;
  }
  emit CellEditRequested(TableRow(index.row()), index.column(), value.toString());
  return false;
}

void RecordTableModel::StopReaders() {
  emit RowsAboutToChange();
  const bool filtering = jobs_.Busy();
  jobs_.CancelAndWait();
  // The position index holds the rows' places as they were.
  positions_.reset();
  // The filter being applied starts again once the change is over, on the rows as they are then.
  if (filtering)
    QMetaObject::invokeMethod(
        this, [this] { StartFilterJob(); }, Qt::QueuedConnection);
}

Status RecordTableModel::PrepareCellChange(std::uint32_t row, int column, const QString& input,
                                           CellChange& change) {
  StopReaders();
  const QByteArray typed = input.toUtf8();
  return radardb::PrepareCellChange(
      *rows_, log_, row, static_cast<Column>(column),
      std::string_view(typed.constData(), static_cast<std::size_t>(typed.size())), change);
}

void RecordTableModel::ApplyCellChange(const CellChange& change, bool forward) {
  StopReaders();
  DropFindings();
  radardb::ApplyCellChange(*rows_, log_, change, forward);
  const RowOrder& order = Order();
  const auto shown = std::find(order.begin(), order.end(), change.row);
  if (shown != order.end()) {
    const int at = static_cast<int>(shown - order.begin());
    emit dataChanged(index(at, 0), index(at, columnCount() - 1));
  }
  emit RowsEdited();
}

RowsChange RecordTableModel::RemoveRows(const std::vector<std::uint32_t>& rows) {
  StopReaders();
  const std::vector<std::uint32_t> places = PlacesAfterTaking(rows_->size(), rows);
  RowsChange change = radardb::RemoveRows(*rows_, rows);
  FollowRowChanges(places, {});
  return change;
}

void RecordTableModel::TakeOutRows(const RowsChange& change) {
  StopReaders();
  const std::vector<std::uint32_t> positions = PositionsOf(change);
  const std::vector<std::uint32_t> places = PlacesAfterTaking(rows_->size(), positions);
  radardb::TakeOutRows(*rows_, change);
  FollowRowChanges(places, {});
}

RowsChange RecordTableModel::AddCopies(const std::vector<std::uint32_t>& rows) {
  StopReaders();
  RowsChange change = MakeCopies(*rows_, log_, rows);
  PutBackRows(change);
  return change;
}

RowsChange RecordTableModel::AddRecords(std::string_view records,
                                        const std::vector<std::uint32_t>& places) {
  StopReaders();
  RowsChange change =
      MakeRecordRows(*rows_, log_, records, places, static_cast<std::uint32_t>(rows_->size()));
  PutBackRows(change);
  return change;
}

void RecordTableModel::PutBackRows(const RowsChange& change) {
  StopReaders();
  const std::size_t before = rows_->size();
  radardb::PutBackRows(*rows_, log_, change);
  // Each row before to its place after; each row put in shown after the row before it that was
  // there already (or first).
  std::vector<std::uint32_t> places(before);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> added;
  added.reserve(change.rows.size());
  std::size_t next = 0;
  std::uint32_t old = 0;
  std::uint32_t lastOld = kGone;
  for (std::uint32_t place = 0; place < rows_->size(); ++place) {
    if (next < change.rows.size() && change.rows[next].first == place) {
      added.emplace_back(lastOld, place);
      ++next;
    } else {
      places[old++] = place;
      lastOld = place;
    }
  }
  // Rows put in before every row that was there come first, under kGone, the largest anchor.
  std::stable_sort(added.begin(), added.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  FollowRowChanges(places, added);
}

void RecordTableModel::FollowRowChanges(
    const std::vector<std::uint32_t>& places,
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& added) {
  const bool hadFindings = checked_ != nullptr;
  beginResetModel();
  if (hadFindings && ForgetFindings()) {
    filtered_ = false;
    shown_.clear();
  }
  const auto addedAfter = [&added](std::uint32_t row) {
    return std::equal_range(added.begin(), added.end(), std::pair{row, std::uint32_t{0}},
                            [](const auto& a, const auto& b) { return a.first < b.first; });
  };
  RowOrder order;
  order.reserve(rows_->size());
  for (auto [first, last] = addedAfter(kGone); first != last; ++first) {
    order.push_back(first->second);
  }
  for (const std::uint32_t row : *order_) {
    if (places[row] == kGone) continue;
    order.push_back(places[row]);
    for (auto [first, last] = addedAfter(places[row]); first != last; ++first) {
      order.push_back(first->second);
    }
  }
  order_ = std::make_shared<const RowOrder>(std::move(order));
  if (filtered_) {
    if (added.empty()) {
      RowOrder shown;
      shown.reserve(shown_.size());
      for (const std::uint32_t row : shown_) {
        if (places[row] != kGone) shown.push_back(places[row]);
      }
      shown_ = std::move(shown);
    } else {
      pendingSorts_.clear();
      shown_ = MatchingRows(*filter_, *source_, *order_);
    }
  }
  endResetModel();
  emit ShownRowsChanged();
  if (hadFindings) emit FieldsChanged();
  emit RowsEdited();
}

void RecordTableModel::RowsSaved() {
  StopReaders();
  for (std::size_t row = 0; row < rows_->size(); ++row) {
    RecordTable::Ints ints = rows_->Stored(row).ints;
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(row);
    rows_->SetInts(row, ints);
  }
  log_ = EditLog(static_cast<std::uint32_t>(rows_->size()));
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
  emit RowsEdited();
}
