#pragma once

#include <QAbstractTableModel>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "app/background_job.h"
#include "app/record_sort.h"
#include "radardb/compare/checked_rows.h"
#include "radardb/compare/compared_rows.h"
#include "radardb/edit/table_edits.h"
#include "radardb/filter/record_filter.h"
#include "radardb/records/record_table.h"

// The record table's columns as the window shows them: header text and fixed pixel width. The
// last, "Change" (kChangeField), is there only while comparing; "Finding" (kFindingLook, the
// same field id) takes its place while a check's findings are on show.
struct ColumnLook {
  const char* header;
  int widthPx;
};
inline constexpr ColumnLook kColumnLooks[radardb::kColumnCount + 1] = {
    {"#", 50},      {"CoordX", 80}, {"CoordY", 80}, {"SS", 40},      {"MS", 40},  {"LS", 40},
    {"X", 80},      {"Y", 80},      {"sc", 40},     {"mph", 40},     {"spd", 40}, {"dir", 40},
    {"Speed", 100}, {"Road", 300},  {"City", 150},  {"Change", 120},
};

// Its kinds joined need more room than a change.
inline constexpr ColumnLook kFindingLook = {"Finding", 180};

// The text colour of the removed rows while comparing: they are not in the loaded database.
inline constexpr QRgb kRemovedRowRgb = 0xFF808080;

// A read-only table model over a RecordTable that sorts and filters inside the model, never
// copying a row: a permutation of row indices orders all rows, and, while a filter is set, a list
// of the matching rows in that order is what the view shows. Integers display as numbers, texts
// decoded by DecodeDatabaseText.
//
// Number columns are aligned right (Qt::TextAlignmentRole).
//
// While the table is compared with an earlier release (SetComparison), its rows are those of a
// ComparedRows: the table's rows, then the earlier release's removed rows, shown greyed
// (kRemovedRowRgb as Qt::ForegroundRole), and a sixteenth column, "Change". Every cell then
// tells its row's change (kChangeRole), and each cell of a changed or moved row whose value
// differs from the earlier release's says so (kDiffersRole) and shows the earlier value as its
// tooltip: "was 120", "was \"A3\"".
//
// While a check's findings are on show (SetFindings), its rows are those of a CheckedRows and a
// sixteenth column, "Finding", lists each row's kinds of finding, with what each is about as its
// tooltip: "duplicate of #12". A comparison and the findings replace each other; editing the rows
// drops the findings, which were found for the rows as they were.
class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // While comparing: the row's radardb::RecordChange, as an int.
  static constexpr int kChangeRole = Qt::UserRole;
  // While comparing: true for a cell whose value differs from the earlier release's.
  static constexpr int kDiffersRole = Qt::UserRole + 1;

  explicit RecordTableModel(QObject* parent = nullptr);

  // Replaces every row in one model reset and ends a comparison; the order becomes the table's
  // own order and the filter set last applies to the new rows at once, unless it reads the
  // change: then it is dropped. FieldsChanged follows when a comparison ended.
  void SetRows(radardb::RecordTable&& rows);
  // Shows the table compared with an earlier release, in one model reset followed by
  // FieldsChanged when no comparison was on show: the Change column and the removed rows come
  // in. The order becomes the table's own order and the filter set last applies at once.
  // Ignored unless `compared` was made for SharedRows().
  void SetComparison(std::shared_ptr<const radardb::ComparedRows> compared);
  // The comparison on show, or null.
  const radardb::ComparedRows* Comparison() const { return compared_.get(); }
  // Shows the table with the findings of its check, in one model reset followed by FieldsChanged,
  // ending a comparison. The order becomes the table's own order and the filter set last applies
  // at once, unless it reads the change: then it is dropped. Ignored unless `checked` was made
  // for SharedRows().
  void SetFindings(std::shared_ptr<const radardb::CheckedRows> checked);
  // The findings on show, or null.
  const radardb::CheckedRows* Findings() const { return checked_.get(); }
  // Takes the findings out of the table, the rows shown staying as they are, followed by
  // FieldsChanged; a filter that reads the findings is dropped, and every row shows.
  void DropFindings();
  // What a filter may name: ComparedFields() while comparing, CheckedFields() while findings are
  // on show, else RecordFields().
  std::span<const radardb::RowField> Fields() const;

  // The loaded database's rows; while comparing, the removed rows are not among them.
  const radardb::RecordTable& Rows() const { return *rows_; }
  std::shared_ptr<const radardb::RecordTable> SharedRows() const { return rows_; }
  // Every row of the model, shown or not, as a filter reads it (fields as Fields()): Rows(), or
  // the ComparedRows while comparing. Order() and Filter lists number rows of this.
  const radardb::RowSource& Source() const { return *source_; }
  // The same, kept alive for work on another thread after the model moves on.
  std::shared_ptr<const radardb::RowSource> SharedSource() const { return source_; }
  // The row of Source() shown at each view row, top to bottom: what is on show and what Export
  // writes.
  const radardb::RowOrder& Order() const { return filtered_ ? shown_ : *order_; }
  // Rows in the model, shown or not.
  std::size_t TotalRows() const { return source_->size(); }
  // True while a filter hides rows.
  bool Filtered() const { return filtered_; }
  // Bytes held for the rows, the comparison, the order and the rows shown (capacity, not size).
  std::size_t MemoryBytes() const;

  // Shows only the rows `filter` (parsed over Fields()) matches, in the current order; an empty
  // filter shows every row. A near: term over kIndexedRows rows or more is answered by an index
  // of every row's position, built by the first such filter and kept while the rows stay.
  // The work runs on a thread of its own and the rows shown change later, in one model reset,
  // followed by ShownRowsChanged; a later SetFilter, sort or SetRows takes over from it.
  void SetFilter(radardb::RecordFilter filter);
  // True while a filter is being applied in the background.
  bool Filtering() const { return jobs_.Busy(); }
  static constexpr std::size_t kIndexedRows = 65536;

  // Editing the loaded rows in place (record_table_edits.cpp); never while comparing. Each change
  // first stops the work that reads the rows on other threads, its own and, through
  // RowsAboutToChange, that of others; then the rows shown follow it at once.
  bool Editable() const { return editable_ && compared_ == nullptr; }
  // Whether the cells may be edited at all: the window allows it only while no comparison runs.
  void SetEditable(bool editable) { editable_ = editable; }
  // What the rows owe the records they were loaded from (see EditLog).
  const radardb::EditLog& Log() const { return log_; }
  // The row of Rows() shown at view row `viewRow` (below rowCount()).
  std::uint32_t TableRow(int viewRow) const { return Order()[static_cast<std::size_t>(viewRow)]; }
  radardb::Status PrepareCellChange(std::uint32_t row, int column, const QString& input,
                                    radardb::CellChange& change);
  void ApplyCellChange(const radardb::CellChange& change, bool forward);
  // Rows by their places in Rows(), ascending and distinct.
  radardb::RowsChange RemoveRows(const std::vector<std::uint32_t>& rows);
  radardb::RowsChange AddCopies(const std::vector<std::uint32_t>& rows);
  void PutBackRows(const radardb::RowsChange& change);
  // Adds rows for `records` (whole 241-byte records), each its own record (EditLog::OwnRecord), at
  // `places` (ascending, one per record) or, when `places` is empty, after the last row.
  radardb::RowsChange AddRecords(std::string_view records,
                                 const std::vector<std::uint32_t>& places = {});
  void TakeOutRows(const radardb::RowsChange& change);
  // The rows were saved as the archive they are now read from: each "#" becomes the row's place
  // and the log starts again.
  void RowsSaved();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Asks for the cell's change (CellEditRequested) and returns false: the change is made, or
  // refused, by whoever answers, so it can be undone.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  // Stable sort of the rows shown by `column`: integers by value, texts by their bytes taken as
  // unsigned. Rows with equal keys keep their current relative order. A column outside the table
  // restores the table's own order. Persistent indexes follow their rows. Hidden rows take the
  // same order when a filter shows them again.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 signals:
  // The rows shown changed: new rows, a comparison, or a filter applied or cleared.
  void ShownRowsChanged();
  // A comparison began or ended, so Fields() changed; parse the filter anew.
  void FieldsChanged();
  // The rows are about to be changed in place: stop reading them on other threads.
  void RowsAboutToChange();
  // The rows were edited: a cell changed, or rows were removed or added.
  void RowsEdited();
  // The user typed `text` into the cell of table row `row`, `column`.
  void CellEditRequested(std::uint32_t row, int column, const QString& text);

 private:
  struct SortKey {
    int column;
    SortDirection direction;
  };
  using SharedOrder = std::shared_ptr<const radardb::RowOrder>;

  void Show(std::shared_ptr<radardb::RecordTable> rows,
            std::shared_ptr<const radardb::ComparedRows> compared,
            std::shared_ptr<const radardb::CheckedRows> checked = nullptr);
  // Forgets the findings, their column still counted; true when the filter read them and was
  // dropped with them.
  bool ForgetFindings();
  // The tooltip of the Finding cell of `row`.
  QString FindingsTip(std::uint32_t row) const;
  void StartFilterJob();
  // The earlier release's value of the cell, when the row is changed or moved and the value
  // differs; an invalid QVariant otherwise.
  QVariant EarlierValue(std::uint32_t row, int column) const;
  void ShowFiltered(SharedOrder order, radardb::RowOrder shown, bool filtered);
  void Rearrange(radardb::RowOrder newShown);
  // Stops the jobs reading the rows, so they may be changed in place.
  void StopReaders();
  // Shows the rows after rows were taken out or put in; `places` maps each row before to its
  // place after (kGone when taken out), `added` lists rows put in with the row they follow.
  void FollowRowChanges(const std::vector<std::uint32_t>& places,
                        const std::vector<std::pair<std::uint32_t, std::uint32_t>>& added);

  // Shared with the filter job, which reads them on its own thread; the rows change in place only
  // through the edits, once StopReaders has stopped every reader.
  std::shared_ptr<radardb::RecordTable> rows_;
  std::shared_ptr<const radardb::ComparedRows> compared_;
  std::shared_ptr<const radardb::CheckedRows> checked_;
  std::shared_ptr<const radardb::RowSource> source_;
  SharedOrder order_;
  std::shared_ptr<const radardb::RecordFilter> filter_;
  // Every row of `source_` by position, once a near: filter needed it.
  std::shared_ptr<const radardb::PositionIndex> positions_;
  // Sorts made while filtered: applied to the rows shown at once, to `order_` by the next job.
  std::vector<SortKey> pendingSorts_;
  radardb::RowOrder shown_;
  bool filtered_ = false;
  bool editable_ = true;
  radardb::EditLog log_;
  BackgroundJob jobs_{this};
};
