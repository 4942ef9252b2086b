#pragma once

class QTableView;
class RecordTableModel;

// Sets `view` up to show `model` (which must outlive the view's use of it): the columns' fixed
// pixel widths (no stretching, so the table scrolls sideways), a header at least
// kMinimumHeaderHeight pixels high whose sections can be dragged, sorting by a click on a header
// (no column sorted at first), no row header.
void ConfigureRecordView(QTableView& view, RecordTableModel& model);

// After the model's rows were replaced: sorts them again by the column and order the header
// shows, so the sort indicator stays true.
void ReapplySort(QTableView& view);

inline constexpr int kMinimumHeaderHeight = 30;
