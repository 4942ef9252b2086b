#include "app/map_window.h"

#include <QBuffer>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/filter_field.h"
#include "app/kestrolan.h"
#include "app/map_canvas.h"
#include "app/prompts.h"
#include "app/record_table_model.h"
#include "app/table_copy.h"
#include "platform/output_file.h"
#include "radardb/map/map_points.h"
#include "update/app_identity.h"

using namespace radardb;
using namespace update;

namespace {

constexpr int kLegendWidthPx = 150;
constexpr int kSwatchPx = 12;
// Room between the main window and the map, and a guess at the frame the window manager adds.
constexpr int kGapPx = 8;
constexpr int kFrameAllowancePx = 16;

QIcon Swatch(const Rgb& colour) {
  QPixmap swatch(kSwatchPx, kSwatchPx);
  swatch.fill(QColor(colour.r, colour.g, colour.b));
  return QIcon(swatch);
}

// The map's scale as grid units per pixel: "1 px = 9,375 units", "1 px = 0.5 units".
QString ScaleText(double scale) {
  const double units = 1 / scale;
  const QString amount = units >= 10 ? Thousands(static_cast<std::size_t>(std::llround(units)))
                                     : QString::number(units, 'g', 2);
  return QStringLiteral("1 px = %1 units").arg(amount);
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
    : QWidget(parent, Qt::Window),
      model_(model),
      table_(table),
      filter_(filter),
      prompts_(prompts) {
  setWindowTitle(QStringLiteral("Map - %1").arg(AppName));
  setWindowIcon(KestrolanIcon());

  cvMap = new MapCanvas(this);
  cbColour = new QComboBox(this);
  cbColour->addItem(QStringLiteral("sc (category)"), QStringLiteral("sc"));
  cbColour->addItem(QStringLiteral("spd (speed)"), QStringLiteral("spd"));
  cbColour->setFocusPolicy(Qt::ClickFocus);
  tvLegend = new QTreeWidget(this);
  tvLegend->setColumnCount(2);
  tvLegend->setRootIsDecorated(false);
  tvLegend->setSelectionMode(QAbstractItemView::NoSelection);
  tvLegend->setFocusPolicy(Qt::NoFocus);
  tvLegend->setFixedWidth(kLegendWidthPx);
  tvLegend->header()->setStretchLastSection(false);
  tvLegend->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tvLegend->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  lbReadout = new QLabel(this);

  auto* choice = new QHBoxLayout;
  auto* colourLabel = new QLabel(QStringLiteral("Colour by:"), this);
  colourLabel->setBuddy(cbColour);
  choice->addWidget(colourLabel);
  choice->addWidget(cbColour);
  choice->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addWidget(cvMap, 1);
  middle->addWidget(tvLegend);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(choice);
  whole->addLayout(middle, 1);
  whole->addWidget(lbReadout);

  fsPng.types = {{QStringLiteral("PNG image"), {QStringLiteral("*.png")}},
                 {QStringLiteral("All files"), {QStringLiteral("*")}}};
  fsPng.file = QStringLiteral("map.png");

  connect(&model_, &QAbstractItemModel::modelReset, this, &MapWindow::RowsChanged);
  connect(table_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MapWindow::ReadSelection);
  connect(cbColour, &QComboBox::currentIndexChanged, this, &MapWindow::ReadRows);
  connect(cvMap, &MapCanvas::PointClicked, this, &MapWindow::SelectRow);
  connect(cvMap, &MapCanvas::BoxChosen, this, &MapWindow::AddBoxToFilter);
  connect(cvMap, &MapCanvas::PointerMoved, this, [this](double x, double y) {
    pointer_ = QStringLiteral("CoordX %1  CoordY %2").arg(std::llround(x)).arg(std::llround(y));
    ShowReadout();
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
  const auto add = [this](const QKeySequence& keys, auto action) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
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
  add(QKeySequence::Save, &MapWindow::SaveImage);
}

void MapWindow::ShowBeside(const QWidget& main) {
  if (!placed_) {
    placed_ = true;
    const QRect mainFrame = main.frameGeometry();
    const QRect screen = main.screen()->availableGeometry();
    const int width = sizeHint().width() + kFrameAllowancePx;
    // To the right of the main window, else to its left; without room on either side, at the
    // screen's right edge, over the end of the table rather than over its first columns.
    int x = mainFrame.right() + 1 + kGapPx;
    if (x + width > screen.right() + 1) {
      x = mainFrame.left() - kGapPx - width;
      if (x < screen.left()) x = std::max(screen.left(), screen.right() + 1 - width);
    }
    // Placed by its inside, as the frame's size is unknown until shown: beside the main window's
    // inside, so both title bars line up.
    const QPoint frameToInside = main.geometry().topLeft() - mainFrame.topLeft();
    setGeometry(
        QRect(QPoint(x, std::max(mainFrame.top(), screen.top())) + frameToInside, sizeHint()));
  }
  show();
  raise();
  activateWindow();
}

void MapWindow::showEvent(QShowEvent*) {
  if (stale_) ReadRows();
}

ColourBy MapWindow::Colouring() const {
  return ColourNamed(cbColour->currentData().toString().toStdString()).value_or(ColourBy::kSc);
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
  const std::vector<std::uint32_t> selected = SelectedTableRows(table_, model_.Order());
  cvMap->SetHighlighted(MapPoints::Build(model_.Source(), selected, cvMap->Points().Colouring()));
}

void MapWindow::ShowLegend() {
  const ColourBy by = cvMap->Points().Colouring();
  tvLegend->clear();
  tvLegend->setHeaderLabels({QString::fromLatin1(ColourName(by)), QStringLiteral("Points")});
  for (const LegendEntry& entry : MapLegend(cvMap->Points())) {
    auto* item = new QTreeWidgetItem(tvLegend,
                                     {QString::fromStdString(entry.label), Thousands(entry.count)});
    item->setIcon(0, Swatch(entry.colour));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

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

void MapWindow::AddBoxToFilter(const GridBox& box) {
  const QString terms = QString::fromStdString(BoxFilterTerms(box));
  const QString typed = filter_.text().trimmed();
  filter_.setText(typed.isEmpty() ? terms : typed + u' ' + terms);
}

void MapWindow::SaveImage() {
  if (!prompts_.SaveFile(fsPng, QStringLiteral("Save map as"))) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  PictureOf(cvMap->Image()).save(&buffer, "PNG");
  const Status status = platform::WriteOutputFile(
      NativePath(fsPng.file),
      std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
  if (!status.ok()) prompts_.Information(QString::fromStdString(status.message()));
}
