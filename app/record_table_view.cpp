#include "app/record_table_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include "app/change_look.h"
#include "app/record_table_model.h"

using namespace radardb;

namespace {

// Space above and below a row's text, in pixels.
constexpr int kRowPaddingPx = 6;

// Gives the columns from `first` on their widths; a column the model adds later (Change or
// Finding, told apart by the header) gets its own when it comes.
void ApplyColumnWidths(QHeaderView& header, int first = 0) {
  for (int column = first; column < header.count(); ++column) {
    const bool finding =
        column == kFindingField && header.model()->headerData(column, Qt::Horizontal).toString() ==
                                       QLatin1String(kFindingLook.header);
    header.resizeSection(column, finding ? kFindingLook.widthPx : kColumnLooks[column].widthPx);
  }
}

// The Change column beside "#", so a comparison shows at any width.
void PlaceChangeColumn(QHeaderView& header) {
  if (header.count() <= kChangeField) return;
  header.moveSection(header.visualIndex(kChangeField),
                     header.visualIndex(static_cast<int>(Column::kIndex)) + 1);
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

// Keeps a note over the whole of the viewport it watches.
class NoteOver : public QObject {
 public:
  NoteOver(QLabel& note, QWidget& viewport) : QObject(&note), note_(note) {
    viewport.installEventFilter(this);
    note_.setGeometry(viewport.rect());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) {
      note_.setGeometry(static_cast<QWidget*>(watched)->rect());
    }
    return false;
  }

 private:
  QLabel& note_;
};

}  // namespace

void ConfigureRecordView(QTableView& view, RecordTableModel& model) {
  view.setModel(&model);
  view.setItemDelegate(new ChangeLook(&view));
  QHeaderView& header = *view.horizontalHeader();
  header.setSectionResizeMode(QHeaderView::Interactive);
  header.setStretchLastSection(false);
  header.setSectionsMovable(true);
  header.setMinimumHeight(kMinimumHeaderHeight);
  ApplyColumnWidths(header);
  QObject::connect(&header, &QHeaderView::sectionCountChanged, &header,
                   [&header](int before, int now) {
                     if (now <= before) return;
                     ApplyColumnWidths(header, before);
                     PlaceChangeColumn(header);
                   });
  QHeaderView& rows = *view.verticalHeader();
  rows.hide();
  rows.setSectionResizeMode(QHeaderView::Fixed);
  const int rowHeight = view.fontMetrics().height() + kRowPaddingPx;
  rows.setMinimumSectionSize(rowHeight);
  rows.setDefaultSectionSize(rowHeight);
  header.setSortIndicator(-1, Qt::AscendingOrder);
  view.setSortingEnabled(true);

  view.setContextMenuPolicy(Qt::ActionsContextMenu);
  header.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&header, &QHeaderView::customContextMenuRequested, &header,
                   [&header](const QPoint& at) {
                     QMenu menu;
                     FillColumnMenu(menu, header);
                     menu.exec(header.viewport()->mapToGlobal(at));
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

void FillColumnMenu(QMenu& menu, QHeaderView& header) {
  menu.clear();
  const int shown = header.count() - header.hiddenSectionCount();
  for (int column = 0; column < header.count(); ++column) {
    const QString name = header.model()->headerData(column, Qt::Horizontal).toString();
    QAction* action = menu.addAction(name);
    action->setCheckable(true);
    action->setChecked(!header.isSectionHidden(column));
    action->setEnabled(header.isSectionHidden(column) || shown > 1);
    QObject::connect(action, &QAction::toggled, &header, [&header, column](bool checked) {
      header.setSectionHidden(column, !checked);
    });
  }
}

void ResetColumns(QHeaderView& header) {
  for (int column = 0; column < header.count(); ++column) {
    header.moveSection(header.visualIndex(column), column);
    header.setSectionHidden(column, false);
  }
  ApplyColumnWidths(header);
  PlaceChangeColumn(header);
}

QLabel* AddEmptyTableNote(QTableView& view, const QString& text) {
  QWidget& viewport = *view.viewport();
  auto* note = new QLabel(text, &viewport);
  note->setAlignment(Qt::AlignCenter);
  note->setWordWrap(true);
  note->setAttribute(Qt::WA_TransparentForMouseEvents);
  note->setForegroundRole(QPalette::PlaceholderText);
  new NoteOver(*note, viewport);
  return note;
}
