#include "app/record_table_model.h"

#include <numeric>

#include "app/record_sort.h"
#include "app/text_decoding.h"

namespace {

std::vector<std::uint32_t> IdentityOrder(std::size_t size) {
  std::vector<std::uint32_t> order(size);
  std::iota(order.begin(), order.end(), std::uint32_t{0});
  return order;
}

}  // namespace

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::SetRows(RecordTable&& rows) {
  beginResetModel();
  rows_ = std::move(rows);
  order_ = IdentityOrder(rows_.size());
  endResetModel();
}

std::size_t RecordTableModel::MemoryBytes() const {
  return rows_.CapacityBytes() + order_.capacity() * sizeof(std::uint32_t);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const std::uint32_t row = order_[static_cast<std::size_t>(index.row())];
  const auto column = static_cast<Column>(index.column());
  if (IsTextColumn(column)) return DecodeDatabaseText(rows_.Text(row, column));
  return rows_.Int(row, column);
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromLatin1(kColumnLooks[section].header);
}

void RecordTableModel::sort(int column, Qt::SortOrder direction) {
  if (column < 0 || column >= kColumnCount) {
    ReorderRows(IdentityOrder(rows_.size()));
    return;
  }
  ReorderRows(SortedOrder(
      rows_, order_, static_cast<Column>(column),
      direction == Qt::AscendingOrder ? SortDirection::kAscending : SortDirection::kDescending));
}

void RecordTableModel::ReorderRows(std::vector<std::uint32_t> newOrder) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  if (!before.isEmpty()) {
    // Where each table row lands in the new order, to move the persistent indexes with it.
    std::vector<std::uint32_t> newPosition(newOrder.size());
    for (std::uint32_t position = 0; position < newOrder.size(); ++position) {
      newPosition[newOrder[position]] = position;
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
      const std::uint32_t row = order_[static_cast<std::size_t>(index.row())];
      after << createIndex(static_cast<int>(newPosition[row]), index.column());
    }
    changePersistentIndexList(before, after);
  }
  order_ = std::move(newOrder);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
