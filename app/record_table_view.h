#pragma once

class QHeaderView;
class QLabel;
class QMenu;
class QString;
class QTableView;
class RecordTableModel;

// Sets `view` up to show `model` (which must outlive the view's use of it): the columns' fixed
// pixel widths (no stretching, so the table scrolls sideways), a header at least
// kMinimumHeaderHeight pixels high whose sections can be dragged, sorting by a click on a header
// (no column sorted at first), no row header, a comparison's look (ChangeLook). The Change column
// a comparison brings is placed right after "#". The header's context menu is FillColumnMenu's.
// Keys move through the rows: arrows, Page Up/Down, Home/End to the first/last row; Tab leaves
// the table. The table's own context menu shows the actions added to it.
void ConfigureRecordView(QTableView& view, RecordTableModel& model);

// After the model's rows were replaced: sorts them again by the column and order the header
// shows, so the sort indicator stays true.
void ReapplySort(QTableView& view);

// Fills `menu` (emptied first) with one checkable entry per column, named by its header, checked
// while the column is shown; toggling it shows or hides the column. The last column shown cannot
// be hidden.
void FillColumnMenu(QMenu& menu, QHeaderView& header);

// Shows every column in its first order and width ("#" first, the Change column after it).
void ResetColumns(QHeaderView& header);

// A note in the middle of the empty table, `text`, kept there as the table is resized. The
// caller hides it once there is something to show.
QLabel* AddEmptyTableNote(QTableView& view, const QString& text);

inline constexpr int kMinimumHeaderHeight = 30;
