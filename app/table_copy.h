#pragma once

#include <QString>
#include <vector>

class QTableView;

// The rows of `view` that are selected, as the view shows them, in increasing order.
std::vector<int> SelectedRows(const QTableView& view);

// The rows selected in `view` as tab-separated text, the form spreadsheets paste into cells: a
// line of the headers of the columns shown, in the order shown, then one line per selected row,
// top to bottom, its cells as displayed. Every line ends with "\n"; a tab or line break inside a
// cell becomes a blank. Empty when no row is selected.
QString SelectedRowsText(const QTableView& view);
