#include "app/record_editor.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QUndoCommand>
#include <algorithm>
#include <utility>

#include "app/record_table_model.h"
#include "app/status_text.h"
#include "radardb/compare/database_check.h"

using namespace radardb;

namespace {

class CellCommand : public QUndoCommand {
 public:
  CellCommand(RecordTableModel& model, const CellChange& change, const QString& text)
      : QUndoCommand(text), model_(model), change_(change) {}
  void redo() override { model_.ApplyCellChange(change_, true); }
  void undo() override { model_.ApplyCellChange(change_, false); }

 private:
  RecordTableModel& model_;
  CellChange change_;
};

// Rows taken out (`removes`) or put in. The change is already made when the step is pushed.
class RowsCommand : public QUndoCommand {
 public:
  RowsCommand(RecordTableModel& model, RowsChange change, bool removes, const QString& text,
              QUndoCommand* parent = nullptr)
      : QUndoCommand(text, parent), model_(model), change_(std::move(change)), removes_(removes) {}
  void redo() override {
    if (std::exchange(made_, false)) return;
    removes_ ? model_.TakeOutRows(change_) : model_.PutBackRows(change_);
  }
  void undo() override { removes_ ? model_.PutBackRows(change_) : model_.TakeOutRows(change_); }

 private:
  RecordTableModel& model_;
  RowsChange change_;
  bool removes_;
  bool made_ = true;
};

}  // namespace

RecordEditor::RecordEditor(RecordTableModel& model, QTableView& view, QObject* parent)
    : QObject(parent), model_(model), view_(view) {
  view.setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
  connect(&model, &RecordTableModel::CellEditRequested, this, &RecordEditor::SetCell);
}

void RecordEditor::SetCell(std::uint32_t row, int column, const QString& text) {
  if (!model_.Editable()) return;
  CellChange change;
  const Status status = model_.PrepareCellChange(row, column, text, change);
  if (status.cancelled()) return;
  if (!status.ok()) {
    emit Refused(StatusText(status));
    return;
  }
  const QString header = model_.headerData(column, Qt::Horizontal).toString();
  history_.push(new CellCommand(model_, change, tr("Edit %1").arg(header)));
}

std::vector<std::uint32_t> RecordEditor::SelectedRows() const {
  std::vector<std::uint32_t> rows;
  const QItemSelectionModel* selection = view_.selectionModel();
  for (const QItemSelectionRange& range : selection->selection()) {
    for (int viewRow = range.top(); viewRow <= range.bottom(); ++viewRow) {
      rows.push_back(model_.TableRow(viewRow));
    }
  }
  if (rows.empty() && selection->currentIndex().isValid()) {
    rows.push_back(model_.TableRow(selection->currentIndex().row()));
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void RecordEditor::MakeCurrent(int viewRow, int column) {
  const int rows = model_.rowCount();
  if (rows == 0) return;
  const QModelIndex current = model_.index(std::clamp(viewRow, 0, rows - 1), column);
  view_.selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
  view_.scrollTo(current);
}

void RecordEditor::RemoveSelected() {
  if (!model_.Editable()) return;
  const std::vector<std::uint32_t> rows = SelectedRows();
  if (rows.empty()) return;
  int firstShown = view_.currentIndex().row();
  for (const QItemSelectionRange& range : view_.selectionModel()->selection()) {
    firstShown = std::min(firstShown < 0 ? range.top() : firstShown, range.top());
  }
  const int column = std::max(view_.currentIndex().column(), 0);
  Remove(rows, tr("Delete %n row(s)", nullptr, static_cast<int>(rows.size())));
  MakeCurrent(firstShown, column);
}

void RecordEditor::Remove(const std::vector<std::uint32_t>& rows, const QString& text) {
  RowsChange change = model_.RemoveRows(rows);
  history_.push(new RowsCommand(model_, std::move(change), true, text));
}

Status RecordEditor::RemoveExactDuplicates(std::size_t& removed) {
  removed = 0;
  if (!model_.Editable()) return Status();
  // Near-duplicates are not looked for: a tolerance of 0 finds only records on one spot.
  std::vector<Finding> findings;
  const Status checked = FindRepeatedRecords(model_.Rows(), 0, findings);
  if (!checked.ok()) return checked;
  std::vector<std::uint32_t> rows;
  for (const Finding& finding : findings) {
    if (finding.kind == FindingKind::kDuplicate) rows.push_back(finding.record);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  removed = rows.size();
  if (!rows.empty()) {
    Remove(rows, tr("Remove %n exact duplicate(s)", nullptr, static_cast<int>(rows.size())));
  }
  return Status();
}

void RecordEditor::AddRecords(std::string_view records, const QString& text) {
  if (!model_.Editable() || records.empty()) return;
  history_.push(new RowsCommand(model_, model_.AddRecords(records), false, text));
}

void RecordEditor::ApplyChanges(const ChangePlan& plan, const QString& text) {
  if (!model_.Editable() || (plan.named.empty() && plan.places.empty())) return;
  // One step of two: undone, the rows given go first, then the rows named come back.
  auto* step = new QUndoCommand(text);
  new RowsCommand(model_, model_.RemoveRows(plan.named), true, text, step);
  new RowsCommand(model_, model_.AddRecords(plan.given, plan.places), false, text, step);
  history_.push(step);
}

void RecordEditor::CopySelected() {
  if (!model_.Editable()) return;
  const std::vector<std::uint32_t> rows = SelectedRows();
  if (rows.empty()) return;
  const int column = std::max(view_.currentIndex().column(), 0);
  RowsChange change = model_.AddCopies(rows);
  const std::uint32_t firstCopy = change.rows.front().first;
  history_.push(new RowsCommand(model_, std::move(change), false,
                                tr("Insert %n row(s)", nullptr, static_cast<int>(rows.size()))));
  const RowOrder& order = model_.Order();
  const auto shown = std::find(order.begin(), order.end(), firstCopy);
  if (shown != order.end()) MakeCurrent(static_cast<int>(shown - order.begin()), column);
}
