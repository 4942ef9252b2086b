#pragma once

#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/background_job.h"
#include "app/record_sort.h"
#include "radardb/record_filter.h"
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

// A read-only table model over a RecordTable that sorts and filters inside the model, never
// copying a row: a permutation of row indices orders all rows, and, while a filter is set, a list
// of the matching rows in that order is what the view shows. Integers display as numbers, texts
// decoded by DecodeDatabaseText.
class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTableModel(QObject* parent = nullptr);

  // Replaces every row in one model reset; the order becomes the table's own order and the
  // filter set last applies to the new rows at once.
  void SetRows(RecordTable&& rows);
  const RecordTable& Rows() const { return *rows_; }
  // The same rows, kept alive for work on another thread after the model moves on.
  std::shared_ptr<const RecordTable> SharedRows() const { return rows_; }
  // The table row shown at each view row, top to bottom: what is on show and what Export writes.
  const std::vector<std::uint32_t>& Order() const { return filtered_ ? shown_ : *order_; }
  // Rows in the table, shown or not.
  std::size_t TotalRows() const { return rows_->size(); }
  // True while a filter hides rows.
  bool Filtered() const { return filtered_; }
  // Bytes held for the rows, their order and the rows shown (capacity, not just size).
  std::size_t MemoryBytes() const;

  // Shows only the rows `filter` matches, in the current order; an empty filter shows every row.
  // The work runs on a thread of its own and the rows shown change later, in one model reset,
  // followed by ShownRowsChanged; a later SetFilter, sort or SetRows takes over from it.
  void SetFilter(RecordFilter filter);
  // True while a filter is being applied in the background.
  bool Filtering() const { return jobs_.Busy(); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Stable sort of the rows shown by `column`: integers by value, texts by their bytes taken as
  // unsigned. Rows with equal keys keep their current relative order. A column outside the table
  // restores the table's own order. Persistent indexes follow their rows. Hidden rows take the
  // same order when a filter shows them again.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 signals:
  // The rows shown changed: new rows, or a filter applied or cleared.
  void ShownRowsChanged();

 private:
  struct SortKey {
    Column column;
    SortDirection direction;
  };
  using SharedOrder = std::shared_ptr<const std::vector<std::uint32_t>>;

  void StartFilterJob();
  void ShowFiltered(SharedOrder order, std::vector<std::uint32_t> shown, bool filtered);
  void Rearrange(std::vector<std::uint32_t> newShown);

  // Shared with the filter job, which reads them on its own thread; never changed in place.
  std::shared_ptr<const RecordTable> rows_;
  SharedOrder order_;
  std::shared_ptr<const RecordFilter> filter_;
  // Sorts made while filtered: applied to the rows shown at once, to `order_` by the next job.
  std::vector<SortKey> pendingSorts_;
  std::vector<std::uint32_t> shown_;
  bool filtered_ = false;
  BackgroundJob jobs_{this};
};
