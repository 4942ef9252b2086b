#include "app/table_copy.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace {

// A cell's text with the characters that would start a new cell or line turned into blanks.
QString CellText(QString text) {
  for (QChar& c : text) {
    if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
  }
  return text;
}

}  // namespace

std::vector<int> SelectedRows(const QTableView& view) {
  std::vector<int> rows;
  if (view.selectionModel() == nullptr) return rows;
  for (const QItemSelectionRange& range : view.selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

QString SelectedRowsText(const QTableView& view) {
  const std::vector<int> rows = SelectedRows(view);
  if (rows.empty()) return {};
  const QAbstractItemModel& model = *view.model();
  const QHeaderView& header = *view.horizontalHeader();
  QList<int> columns;
  for (int visual = 0; visual < header.count(); ++visual) {
    const int column = header.logicalIndex(visual);
    if (!header.isSectionHidden(column)) columns << column;
  }

  QString text;
  const auto appendLine = [&text, &columns](const auto& cell) {
    for (int i = 0; i < columns.size(); ++i) {
      if (i > 0) text += u'\t';
      text += CellText(cell(columns[i]));
    }
    text += u'\n';
  };
  appendLine([&model](int column) { return model.headerData(column, Qt::Horizontal).toString(); });
  for (const int row : rows) {
    appendLine([&model, row](int column) { return model.index(row, column).data().toString(); });
  }
  return text;
}
