#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "radardb/record_table.h"

// The record table's columns as the window shows them: header text and fixed pixel width.
struct ColumnLook {
  const char* header;
  int widthPx;
};
inline constexpr ColumnLook kColumnLooks[kColumnCount] = {
    {"#", 50},   {"CoordX", 80}, {"CoordY", 80}, {"SS", 40},    {"MS", 40},
    {"LS", 40},  {"X", 80},      {"Y", 80},      {"sc", 40},    {"mph", 40},
    {"spd", 40}, {"dir", 40},    {"Speed", 100}, {"Road", 300}, {"City", 150},
};

// A read-only table model over a RecordTable, sorted inside the model: a permutation of row
// indices maps view rows to table rows, so sorting moves four bytes per row and never copies a
// text. Integers display as numbers, texts decoded by DecodeDatabaseText.
class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTableModel(QObject* parent = nullptr);

  // Replaces every row in one model reset; the order becomes the table's own order.
  void SetRows(RecordTable&& rows);
  const RecordTable& Rows() const { return rows_; }
  // The table row shown at each view row, top to bottom.
  const std::vector<std::uint32_t>& Order() const { return order_; }
  // Bytes held for the rows and their order (capacity, not just size).
  std::size_t MemoryBytes() const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Stable sort by `column`: integers by value, texts by their bytes taken as unsigned. Rows
  // with equal keys keep their current relative order. A column outside the table restores the
  // table's own order. Persistent indexes follow their rows.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  void ReorderRows(std::vector<std::uint32_t> newOrder);

  RecordTable rows_;
  std::vector<std::uint32_t> order_;
};
