#include "app/record_table_view.h"

#include <QHeaderView>
#include <QTableView>

#include "app/record_table_model.h"

namespace {

// Space above and below a row's text, in pixels.
constexpr int kRowPaddingPx = 6;

void ApplyColumnWidths(QHeaderView& header) {
  for (int column = 0; column < kColumnCount; ++column) {
    header.resizeSection(column, kColumnLooks[column].widthPx);
  }
}

}  // namespace

void ConfigureRecordView(QTableView& view, RecordTableModel& model) {
  view.setModel(&model);
  QHeaderView& header = *view.horizontalHeader();
  header.setSectionResizeMode(QHeaderView::Interactive);
  header.setStretchLastSection(false);
  header.setSectionsMovable(true);
  header.setMinimumHeight(kMinimumHeaderHeight);
  ApplyColumnWidths(header);
  QHeaderView& rows = *view.verticalHeader();
  rows.hide();
  rows.setSectionResizeMode(QHeaderView::Fixed);
  const int rowHeight = view.fontMetrics().height() + kRowPaddingPx;
  rows.setMinimumSectionSize(rowHeight);
  rows.setDefaultSectionSize(rowHeight);
  header.setSortIndicator(-1, Qt::AscendingOrder);
  view.setSortingEnabled(true);
}

void ReapplySort(QTableView& view) {
  const QHeaderView& header = *view.horizontalHeader();
  view.model()->sort(header.sortIndicatorSection(), header.sortIndicatorOrder());
}
