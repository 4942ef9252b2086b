#include "app/record_table_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

#include "app/record_table_model.h"
#include "app/table_copy.h"

namespace {

// Space above and below a row's text, in pixels.
constexpr int kRowPaddingPx = 6;

// Gives the columns from `first` on their widths; a column the model adds later (Change) gets its
// own when it comes.
void ApplyColumnWidths(QHeaderView& header, int first = 0) {
  for (int column = first; column < header.count(); ++column) {
    header.resizeSection(column, kColumnLooks[column].widthPx);
  }
}

// Home and End go to the first and last row, as in a list, rather than to the first and last
// column of the current row.
class RowKeys : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Home && key->key() != Qt::Key_End) return false;
    if (key->modifiers().testFlag(Qt::ControlModifier)) return false;
    QKeyEvent toRow(QEvent::KeyPress, key->key(), key->modifiers() | Qt::ControlModifier);
    QCoreApplication::sendEvent(watched, &toRow);
    return true;
  }
};

QAction* AddAction(QTableView& view, const QString& text, QKeySequence::StandardKey key) {
  auto* action = new QAction(text, &view);
  action->setShortcuts(key);
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  view.addAction(action);
  return action;
}

void AddTableActions(QTableView& view) {
  QObject::connect(AddAction(view, QStringLiteral("Copy"), QKeySequence::Copy), &QAction::triggered,
                   &view,
                   [&view] { QGuiApplication::clipboard()->setText(SelectedRowsText(view)); });
  QObject::connect(AddAction(view, QStringLiteral("Select all"), QKeySequence::SelectAll),
                   &QAction::triggered, &view, &QTableView::selectAll);
  view.setContextMenuPolicy(Qt::ActionsContextMenu);
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
  QObject::connect(&header, &QHeaderView::sectionCountChanged, &header,
                   [&header](int before, int now) {
                     if (now > before) ApplyColumnWidths(header, before);
                   });
  QHeaderView& rows = *view.verticalHeader();
  rows.hide();
  rows.setSectionResizeMode(QHeaderView::Fixed);
  const int rowHeight = view.fontMetrics().height() + kRowPaddingPx;
  rows.setMinimumSectionSize(rowHeight);
  rows.setDefaultSectionSize(rowHeight);
  header.setSortIndicator(-1, Qt::AscendingOrder);
  view.setSortingEnabled(true);

  AddTableActions(view);
  header.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&header, &QHeaderView::customContextMenuRequested, &header,
                   [&header](const QPoint& at) {
                     MakeColumnMenu(header)->exec(header.viewport()->mapToGlobal(at));
                   });
  view.setTabKeyNavigation(false);
  view.installEventFilter(new RowKeys(&view));
}

void ReapplySort(QTableView& view) {
  QHeaderView& header = *view.horizontalHeader();
  // The column sorted by may have gone (Change, when a comparison ends): no column then.
  if (header.sortIndicatorSection() >= header.count()) {
    header.setSortIndicator(-1, header.sortIndicatorOrder());
  }
  // The rows were just replaced, in the table's own order: nothing to sort.
  if (header.sortIndicatorSection() < 0) return;
  view.model()->sort(header.sortIndicatorSection(), header.sortIndicatorOrder());
}

std::unique_ptr<QMenu> MakeColumnMenu(QHeaderView& header) {
  auto menu = std::make_unique<QMenu>();
  const int shown = header.count() - header.hiddenSectionCount();
  for (int column = 0; column < header.count(); ++column) {
    const QString name = header.model()->headerData(column, Qt::Horizontal).toString();
    QAction* action = menu->addAction(name);
    action->setCheckable(true);
    action->setChecked(!header.isSectionHidden(column));
    action->setEnabled(header.isSectionHidden(column) || shown > 1);
    QObject::connect(action, &QAction::toggled, &header, [&header, column](bool checked) {
      header.setSectionHidden(column, !checked);
    });
  }
  return menu;
}
