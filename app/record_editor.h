#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/compare/change_list.h"

class QTableView;
class RecordTableModel;

// Edits of the table as undoable steps, one per user action: a cell typed into (F2 or a double
// click starts it; the model asks through CellEditRequested), the selected rows removed, or a
// copy of each selected row added after it. The history holds only what each step changed (the
// rows taken out, a cell's row before and after), never a copy of the table. A value the cell's
// record field cannot hold changes nothing and is reported through Refused with the reason.
// `model` and `view` (showing `model`) must outlive the editor.
class RecordEditor : public QObject {
  Q_OBJECT

 public:
  RecordEditor(RecordTableModel& model, QTableView& view, QObject* parent = nullptr);

  QUndoStack& History() { return history_; }
  // True when the rows differ from what was last loaded or saved.
  bool Modified() const { return !history_.isClean(); }

  // Removes the rows selected in the view, in one step; the row after them becomes current.
  void RemoveSelected();
  // Adds after each selected row (the current one when none is selected) a copy of it, in one
  // step; the first copy becomes current, for editing.
  void CopySelected();
  // Removes every row whose fields besides "#" equal an earlier row's, keeping the first of each
  // group (the duplicates `kestrolan-db check` finds), in one step. Returns how many went, or
  // the check's failure.
  platform::Status RemoveExactDuplicates(std::size_t& removed);
  // Appends rows for `records` (whole 241-byte records) in one step named `text`.
  void AddRecords(std::string_view records, const QString& text);
  // Makes the rows what `plan` makes of the records they hold (radardb::PlanChangeList), in one
  // step named `text`: the rows it names go, the records it gives come in at their places.
  void ApplyChanges(const radardb::ChangePlan& plan, const QString& text);
  // Sets the cell of table row `row` in `column` to `text` (UTF-8 as typed), in one step.
  void SetCell(std::uint32_t row, int column, const QString& text);

 signals:
  void Refused(const QString& reason);

 private:
  // The rows of the table selected in the view (or the current one), ascending.
  std::vector<std::uint32_t> SelectedRows() const;
  // Makes the cell at `viewRow` (kept within the rows) and `column` current and selected.
  void MakeCurrent(int viewRow, int column);
  // Removes the table rows `rows` (ascending) in one step named `text`.
  void Remove(const std::vector<std::uint32_t>& rows, const QString& text);

  RecordTableModel& model_;
  QTableView& view_;
  QUndoStack history_;
};
