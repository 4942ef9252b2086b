#include "app/map_window.h"

#include <QBuffer>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/map_canvas.h"
#include "app/prompts.h"
#include "app/record_table_model.h"
#include "app/status_text.h"
#include "app/table_copy.h"
#include "app/text_decoding.h"
#include "app/translations.h"
#include "app/window_status.h"
#include "platform/output_file.h"
#include "radardb/map/map_marks.h"
#include "radardb/map/map_points.h"
#include "radardb/map/map_raster.h"

using namespace radardb;

namespace {

constexpr int kLegendWidthPx = 150;
constexpr int kSwatchPx = 12;

QIcon Swatch(const Rgb& colour) {
  QPixmap swatch(kSwatchPx, kSwatchPx);
  swatch.fill(QColor(colour.r, colour.g, colour.b));
  return QIcon(swatch);
}

// A dot of the density step `step` as the map draws it, centred in a square wide enough for the
// largest.
QIcon DotIcon(int step) {
  const int side = 2 * DotRadius(kDensitySteps - 1) + 1;
  QPixmap icon(side, side);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  const int radius = DotRadius(step);
  const QRect dot(side / 2 - radius, side / 2 - radius, 2 * radius + 1, 2 * radius + 1);
  painter.fillRect(dot, QColor(kPileEdge.r, kPileEdge.g, kPileEdge.b));
  return QIcon(icon);
}

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

// The map's scale as grid units per pixel: "1 px = 9,375 units", "1 px = 0.5 units".
QString ScaleText(double scale) {
  const double units = 1 / scale;
  const QString amount = units >= 10 ? Thousands(static_cast<std::size_t>(std::llround(units)))
                                     : DisplayLocale().toString(units, 'g', 2);
  return QCoreApplication::translate("MapWindow", "1 px = %1 units").arg(amount);
}

// The legend's label of a class (ClassLabel): a change's word translated, a value or a range of
// values as it is.
QString LegendLabel(ColourBy by, const std::string& label) {
  static constexpr const char* kChangeWords[] = {
      QT_TRANSLATE_NOOP("MapWindow", "unchanged"), QT_TRANSLATE_NOOP("MapWindow", "changed"),
      QT_TRANSLATE_NOOP("MapWindow", "moved"),     QT_TRANSLATE_NOOP("MapWindow", "moved+changed"),
      QT_TRANSLATE_NOOP("MapWindow", "added"),     QT_TRANSLATE_NOOP("MapWindow", "removed"),
  };
  if (by == ColourBy::kChange) {
    for (const char* word : kChangeWords) {
      if (label == word) return QCoreApplication::translate("MapWindow", word);
    }
  }
  return QString::fromStdString(label);
}

// The table rows of the rows selected in `table`, whose model shows `order`, in increasing order.
std::vector<std::uint32_t> SelectedTableRows(const QTableView& table, const RowOrder& order) {
  std::vector<std::uint32_t> rows;
  for (const int shown : SelectedRows(table)) {
    if (static_cast<std::size_t>(shown) < order.size()) rows.push_back(order[shown]);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

MapWindow::MapWindow(RecordTableModel& model, QTableView& table, QLineEdit& filter,
                     Prompts& prompts, QWidget* parent)
    : QDockWidget(tr("Map"), parent),
      model_(model),
      table_(table),
      filter_(filter),
      prompts_(prompts) {
  setObjectName(QStringLiteral("dkMap"));
  auto* content = new QWidget(this);
  setWidget(content);

  cvMap = new MapCanvas(content);
  cvMap->setAccessibleName(tr("Map of the rows shown"));
  cbColour = new QComboBox(content);
  cbColour->addItem(tr("sc (category)"), int(ColourBy::kSc));
  cbColour->addItem(tr("spd (speed)"), int(ColourBy::kSpd));
  cbColour->setFocusPolicy(Qt::ClickFocus);
  cbColour->setAccessibleName(tr("Colour by"));
  tvLegend = new QTreeWidget(content);
  tvLegend->setColumnCount(2);
  tvLegend->setRootIsDecorated(false);
  tvLegend->setSelectionMode(QAbstractItemView::NoSelection);
  tvLegend->setFocusPolicy(Qt::NoFocus);
  tvLegend->setFixedWidth(kLegendWidthPx);
  tvLegend->setAccessibleName(tr("Legend"));
  tvLegend->header()->setStretchLastSection(false);
  tvLegend->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tvLegend->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  tvMarks = new QTreeWidget(content);
  tvMarks->setColumnCount(1);
  tvMarks->setRootIsDecorated(false);
  tvMarks->setSelectionMode(QAbstractItemView::NoSelection);
  tvMarks->setFocusPolicy(Qt::NoFocus);
  tvMarks->setFixedWidth(kLegendWidthPx);
  tvMarks->setAccessibleName(tr("Dot sizes and directions"));
  ShowMarks();
  tvMarks->setFixedHeight(tvMarks->sizeHintForRow(0) * (kDensitySteps + 2) +
                          tvMarks->header()->sizeHint().height() + 2 * tvMarks->frameWidth());
  lbReadout = new QLabel(content);

  auto* choice = new QHBoxLayout;
  auto* colourLabel = new QLabel(tr("Colour by:"), content);
  colourLabel->setBuddy(cbColour);
  choice->addWidget(colourLabel);
  choice->addWidget(cbColour);
  choice->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(cvMap, 1);
  auto* legends = new QVBoxLayout;
  legends->addWidget(tvLegend, 1);
  legends->addWidget(tvMarks);
  middle->addLayout(legends);
  auto* whole = new QVBoxLayout(content);
  whole->addLayout(choice);
  whole->addLayout(middle, 1);
  whole->addWidget(lbReadout);

  fsPng.types = {{tr("PNG image"), {QStringLiteral("*.png")}},
                 {tr("All files"), {QStringLiteral("*")}}};
  fsPng.file = QStringLiteral("map.png");

  connect(&model_, &QAbstractItemModel::modelReset, this, &MapWindow::RowsChanged);
  // Edits change the rows in place: stop reading them first, read them again after.
  connect(&model_, &RecordTableModel::RowsAboutToChange, this, [this] { jobs_.CancelAndWait(); });
  connect(&model_, &RecordTableModel::RowsEdited, this, &MapWindow::RowsChanged);
  connect(&model_, &RecordTableModel::FieldsChanged, this, &MapWindow::OfferChangeColouring);
  connect(table_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MapWindow::ReadSelection);
  connect(cbColour, &QComboBox::currentIndexChanged, this, &MapWindow::RowsChanged);
  connect(cvMap, &MapCanvas::PointClicked, this, &MapWindow::SelectRow);
  connect(cvMap, &MapCanvas::BoxChosen, this,
          [this](const GridBox& box) { AddToFilter(QString::fromStdString(BoxFilterTerms(box))); });
  connect(cvMap, &MapCanvas::PointerMoved, this, &MapWindow::PointerOver);
  connect(cvMap, &MapCanvas::MenuAsked, this, [this](double x, double y, QPoint global) {
    QMenu menu(this);
    menu.addAction(NearHereAction(x, y, &menu));
    menu.exec(global);
  });
  connect(cvMap, &MapCanvas::PointerLeft, this, [this] {
    pointer_.clear();
    ShowReadout();
  });
  connect(cvMap, &MapCanvas::ViewChanged, this, &MapWindow::ShowReadout);
  AddShortcuts();
}

MapWindow::~MapWindow() = default;

void MapWindow::AddShortcuts() {
  // Only while the map has the focus: Home and the arrows are the table's own keys.
  const auto add = [this](const QKeySequence& keys, auto action) {
    connect(new QShortcut(keys, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
            &QShortcut::activated, this, action);
  };
  add(QKeySequence(Qt::Key_Home), [this] { cvMap->FitAll(); });
  for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Plus), QKeyCombination(Qt::Key_Equal),
                                     QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus)}) {
    add(QKeySequence(keys), [this] { cvMap->ZoomBy(MapCanvas::kZoomStep); });
  }
  for (const QKeyCombination keys :
       {QKeyCombination(Qt::Key_Minus), QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus)}) {
    add(QKeySequence(keys), [this] { cvMap->ZoomBy(1 / MapCanvas::kZoomStep); });
  }
}

// The map's share of the main window's width when docked: its own and the separator's.
int MapWindow::DockedWidth(int mapWidth) const {
  return mapWidth + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
}

void MapWindow::ShowIn(QMainWindow& main) {
  main_ = &main;
  const bool fullSize = main.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
  if (isHidden() && !isFloating() && !fullSize) {
    openedDocked_ = true;
    const QRect screen = main.screen()->availableGeometry();
    const QRect frame = main.frameGeometry();
    const int wider =
        std::clamp(DockedWidth(sizeHint().width()), 0, std::max(0, screen.width() - frame.width()));
    main.resize(main.width() + wider, main.height());
    // Still on the screen: moved left as far as it grew beyond the right edge.
    const int beyond = frame.right() + wider - screen.right();
    if (beyond > 0) main.move(main.x() - beyond, main.y());
  }
  show();
  raise();
}

void MapWindow::showEvent(QShowEvent*) {
  emit ShownChanged(true);
  if (stale_) ReadRows();
}

void MapWindow::hideEvent(QHideEvent*) {
  // Hidden with the main window, the map is still open.
  if (!isHidden()) return;
  emit ShownChanged(false);
  const bool fullSize =
      main_ != nullptr && main_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
  if (main_ != nullptr && openedDocked_ && !isFloating() && !fullSize) {
    // Once the window's minimum no longer holds the map.
    QMetaObject::invokeMethod(
        main_,
        [main = main_, narrower = DockedWidth(width())] {
          main->layout()->activate();
          main->resize(main->width() - narrower, main->height());
        },
        Qt::QueuedConnection);
  }
  openedDocked_ = false;
}

void MapWindow::OfferChangeColouring() {
  const int change = cbColour->findData(int(ColourBy::kChange));
  const bool comparing = model_.Comparison() != nullptr;
  if (comparing && change < 0) {
    chosenBefore_ = cbColour->currentIndex();
    cbColour->addItem(tr("Change"), int(ColourBy::kChange));
    cbColour->setCurrentIndex(cbColour->count() - 1);
  } else if (!comparing && change >= 0) {
    if (cbColour->currentIndex() == change) cbColour->setCurrentIndex(chosenBefore_);
    cbColour->removeItem(change);
  }
}

ColourBy MapWindow::Colouring() const {
  const auto by = static_cast<ColourBy>(cbColour->currentData().toInt());
  // Rows without a comparison have no change to read.
  return by == ColourBy::kChange && model_.Comparison() == nullptr ? ColourBy::kSc : by;
}

void MapWindow::RowsChanged() {
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  ReadRows();
}

void MapWindow::ReadRows() {
  stale_ = false;
  jobs_.Post([this, source = model_.SharedSource(), order = model_.Order(),
              selected = SelectedTableRows(table_, model_.Order()),
              by = Colouring()](std::stop_token stop) -> std::function<void()> {
    auto points = std::make_shared<MapPoints>(MapPoints::Build(*source, order, by));
    if (stop.stop_requested()) return {};
    auto highlighted = std::make_shared<MapPoints>(MapPoints::Build(*source, selected, by));
    return [this, points, highlighted] {
      cvMap->SetPoints(std::move(*points), std::move(*highlighted));
      ShowLegend();
    };
  });
}

void MapWindow::ReadSelection() {
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  // The points on their way would come with the selection from before.
  if (jobs_.Busy()) {
    ReadRows();
    return;
  }
  // Highlights take the points' colouring, which must still fit the rows.
  if (cvMap->Points().Colouring() != Colouring()) {
    ReadRows();
    return;
  }
  const std::vector<std::uint32_t> selected = SelectedTableRows(table_, model_.Order());
  cvMap->SetHighlighted(MapPoints::Build(model_.Source(), selected, Colouring()));
}

void MapWindow::ShowLegend() {
  const ColourBy by = cvMap->Points().Colouring();
  tvLegend->clear();
  tvLegend->setHeaderLabels({QString::fromLatin1(ColourName(by)), tr("Points")});
  for (const LegendEntry& entry : MapLegend(cvMap->Points())) {
    auto* item =
        new QTreeWidgetItem(tvLegend, {LegendLabel(by, entry.label), Thousands(entry.count)});
    item->setIcon(0, Swatch(entry.colour));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

void MapWindow::ShowMarks() {
  tvMarks->setHeaderLabels({tr("Records a dot")});
  for (int step = 0; step < kDensitySteps; ++step) {
    auto* item = new QTreeWidgetItem(tvMarks, {Utf8(DensityLabel(step))});
    item->setIcon(0, DotIcon(step));
  }
  auto* ticks = new QTreeWidgetItem(tvMarks, {tr("dir 0 = up, clockwise")});
  ticks->setToolTip(0, tr("Once a grid square is 25 pixels wide, each record draws a tick in its "
                          "direction: dir 0 points up (CoordY growing) and angles grow clockwise. "
                          "The database does not say where its 0 points; this is the drawing's "
                          "convention."));
}

void MapWindow::PointerOver(double x, double y, qint64 row) {
  // The points on show may still be those of rows the model no longer holds.
  const bool named = row >= 0 && !jobs_.Busy() && std::uint64_t(row) < model_.TotalRows();
  if (named) {
    pointer_ = RecordLine(static_cast<std::uint32_t>(row));
    QToolTip::showText(QCursor::pos(), pointer_, cvMap);
  } else {
    pointer_ = tr("CoordX %1  CoordY %2").arg(std::llround(x)).arg(std::llround(y));
    QToolTip::hideText();
  }
  ShowReadout();
}

QString MapWindow::RecordLine(std::uint32_t row) const {
  const RowSource& source = model_.Source();
  const auto number = [&](Column column) { return source.Int(row, int(column)); };
  const auto text = [&](Column column) {
    return DecodeDatabaseText(source.Text(row, int(column)));
  };
  QStringList parts = {QStringLiteral("#%1").arg(number(Column::kIndex)),
                       tr("sc %1").arg(number(Column::kSc))};
  const QString speed = text(Column::kSpeed);
  parts << (speed.isEmpty() ? QString::number(number(Column::kSpd)) : speed);
  parts << tr("dir %1").arg(number(Column::kDir));
  for (const Column column : {Column::kRoad, Column::kCity}) {
    if (!text(column).isEmpty()) parts << text(column);
  }
  return parts.join(QStringLiteral(" \u00B7 "));
}

QAction* MapWindow::NearHereAction(double x, double y, QObject* parent) {
  const std::int64_t radius = ScaleBarUnits(cvMap->View().scale);
  auto* action =
      new QAction(tr("Records Within %1 of Here").arg(Utf8(ScaleBarLabel(radius))), parent);
  const QString term =
      QStringLiteral("near:%1,%2,%3").arg(std::llround(x)).arg(std::llround(y)).arg(radius);
  connect(action, &QAction::triggered, this, [this, term] { AddToFilter(term); });
  return action;
}

void MapWindow::ZoomToSelection() { cvMap->FitHighlighted(); }

void MapWindow::ShowReadout() {
  const QString scale = ScaleText(cvMap->View().scale);
  lbReadout->setText(pointer_.isEmpty() ? scale : pointer_ + QStringLiteral("    ") + scale);
}

void MapWindow::SelectRow(std::uint32_t row) {
  // The points on show may still be those of rows the table no longer holds.
  if (jobs_.Busy()) return;
  const RowOrder& order = model_.Order();
  const auto at = std::find(order.begin(), order.end(), row);
  if (at == order.end()) return;
  table_.selectRow(static_cast<int>(at - order.begin()));
  table_.scrollTo(table_.currentIndex(), QAbstractItemView::PositionAtCenter);
}

void MapWindow::AddToFilter(const QString& terms) {
  const QString typed = filter_.text().trimmed();
  filter_.setText(typed.isEmpty() ? terms : typed + u' ' + terms);
}

void MapWindow::SaveImage() {
  if (!prompts_.SaveFile(fsPng, tr("Save map as"))) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  PictureOf(cvMap->Image()).save(&buffer, "PNG");
  const Status status = platform::WriteOutputFile(
      NativePath(fsPng.file),
      std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
  if (!status.ok()) {
    prompts_.Information(StatusText(status), QDir::toNativeSeparators(fsPng.file));
  }
}
