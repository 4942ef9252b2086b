#pragma once

#include <memory>

class QHeaderView;
class QMenu;
class QTableView;
class RecordTableModel;

// Sets `view` up to show `model` (which must outlive the view's use of it): the columns' fixed
// pixel widths (no stretching, so the table scrolls sideways), a header at least
// kMinimumHeaderHeight pixels high whose sections can be dragged, sorting by a click on a header
// (no column sorted at first), no row header. A context menu offers "Copy" (Ctrl+C: the selected
// rows, as SelectedRowsText, to the clipboard) and "Select all" (Ctrl+A); the header's context
// menu is MakeColumnMenu. Keys move through the rows: arrows, Page Up/Down, Home/End to the
// first/last row; Tab leaves the table.
void ConfigureRecordView(QTableView& view, RecordTableModel& model);

// After the model's rows were replaced: sorts them again by the column and order the header
// shows, so the sort indicator stays true.
void ReapplySort(QTableView& view);

// The header's context menu: one checkable entry per column, named by its header, checked while
// the column is shown; toggling it shows or hides the column. The last column shown cannot be
// hidden.
std::unique_ptr<QMenu> MakeColumnMenu(QHeaderView& header);

inline constexpr int kMinimumHeaderHeight = 30;
