#include "app/map_window.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/kestrolan.h"
#include "app/map_canvas.h"
#include "radardb/records/radar_record.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

// Records at grid positions inside one square (X and Y give CoordX and CoordY), with their sc
// and spd; each named "P" and its index in its road text.
struct Spot {
  int x, y, sc, spd;
};
const std::vector<Spot> kSpots = {
    {100, 100, 1, 30}, {900, 900, 2, 100}, {500, 500, 3, 120},
    {900, 100, 7, 50}, {100, 900, 2, 130},
};
// The map's drawing area in these tests, fitted to the spots: 0.125 pixels a grid unit, pixel x
// = 106 + (x - 500) / 8, pixel y = 56 - (y - 500) / 8.
constexpr QSize kCanvasSize(213, 113);
const QPoint kSpotPixels[] = {{56, 106}, {156, 6}, {106, 56}, {156, 106}, {56, 6}};

std::string SpotBytes() {
  std::string bytes;
  for (std::size_t i = 0; i < kSpots.size(); ++i) {
    RadarRecord record;
    record.X = static_cast<std::uint16_t>(kSpots[i].x);
    record.Y = static_cast<std::uint16_t>(kSpots[i].y);
    record.packed = std::uint32_t(kSpots[i].sc) << kSubcatShift | std::uint32_t(kSpots[i].spd)
                                                                      << kSpeedShift;
    const std::string road = "P" + std::to_string(i);
    road.copy(record.Road, road.size());
    record.AppendTo(bytes);
  }
  return bytes;
}

QColor PixelAt(const MapWindow& map, QPoint at) {
  const Rgb rgb = map.cvMap->Image().At(at.x(), at.y());
  return QColor(rgb.r, rgb.g, rgb.b);
}

QColor ColourOf(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

}  // namespace

// The map docked beside the table: what it draws, and the links both ways with the table and the
// filter field.
class MapWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void ClickSelectsItsRow_data();
  void ClickSelectsItsRow();
  void TableSelectionHighlightsPoints_data();
  void TableSelectionHighlightsPoints();
  void ShiftDragAddsBoxToFilter_data();
  void ShiftDragAddsBoxToFilter();
  void MapFollowsRowsShownAndColouring();
  void MapFollowsEdits();
  void KeysMoveTheView_data();
  void KeysMoveTheView();
  void SaveWritesThePictureOnShow();
  void DocksBesideTheTableAndWidensTheWindow();
  void HoverNamesTheRecord();
  void NearHereAddsTheTerm();
  void ZoomToSelectionFitsTheSelectedRows();
  void DoubleClickZoomsInOnTheDot();
  void ZoomIsKeptWhileShownPointsStayInView_data();
  void ZoomIsKeptWhileShownPointsStayInView();

 private:
  // Opens the map (Ctrl+M) of a window that loaded the spots; its canvas is kCanvasSize.
  MapWindow& OpenMap();
  // Waits until the filter and the map have caught up with the rows.
  void Settle(const MapWindow& map);
  QStringList ShownRoads() const;

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::unique_ptr<Kestrolan> window_;
};

void MapWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  prompts_ = std::make_unique<ScriptedPrompts>();
  window_ = std::make_unique<Kestrolan>(*prompts_);
}

void MapWindowTest::cleanup() {
  QCOMPARE(prompts_->unexpected, 0);
  window_.reset();
}

MapWindow& MapWindowTest::OpenMap() {
  const QString archive = dir_->filePath("radar.lzw");
  if (!WriteArchive(archive, SpotBytes())) qFatal("cannot write %s", qPrintable(archive));
  window_->show();
  if (!QTest::qWaitForWindowActive(window_.get())) qFatal("the window did not come up");
  MapWindow* map = &window_->Map();
  map->cvMap->setFixedSize(kCanvasSize);
  QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
  if (map->isHidden()) qFatal("Ctrl+M opened no map");
  if (!QTest::qWaitForWindowExposed(map)) qFatal("the map did not come up");
  // Loaded while the map is open, so the map follows a load.
  window_->LoadRadarFile(archive);
  Settle(*map);
  return *map;
}

void MapWindowTest::Settle(const MapWindow& map) {
  QTRY_VERIFY(!window_->Model().Filtering());
  QTRY_VERIFY(!map.Reading());
}

QStringList MapWindowTest::ShownRoads() const {
  QStringList roads;
  const QAbstractItemModel& model = *window_->acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    roads << model.index(row, int(Column::kRoad)).data().toString();
  }
  return roads;
}

void MapWindowTest::ClickSelectsItsRow_data() {
  QTest::addColumn<QPoint>("at");
  QTest::addColumn<QList<int>>("selectedRows");  // view rows; the table shows P4 to P0
  QTest::newRow("table row taken for the view row") << kSpotPixels[3] << QList<int>{1};
  QTest::newRow("a point 4 pixels away missed") << kSpotPixels[3] - QPoint(3, 3) << QList<int>{1};
  QTest::newRow("a click on nothing selected a row") << QPoint(130, 30) << QList<int>{};
}

void MapWindowTest::ClickSelectsItsRow() {
  QFETCH(QPoint, at);
  QFETCH(QList<int>, selectedRows);
  MapWindow& map = OpenMap();
  window_->acList->sortByColumn(int(Column::kIndex), Qt::DescendingOrder);
  QTest::mouseClick(map.cvMap, Qt::LeftButton, Qt::NoModifier, at);
  QList<int> selected;
  for (const QModelIndex& index : window_->acList->selectionModel()->selectedRows()) {
    selected << index.row();
  }
  QCOMPARE(selected, selectedRows);
}

void MapWindowTest::TableSelectionHighlightsPoints_data() {
  QTest::addColumn<int>("spot");
  QTest::newRow("middle point") << 2;
  QTest::newRow("bottom left point, where a downward CoordY would not be") << 0;
}

void MapWindowTest::TableSelectionHighlightsPoints() {
  QFETCH(int, spot);
  MapWindow& map = OpenMap();
  const QPoint ring = kSpotPixels[spot] + QPoint(kDotRadiusPx + 1, 0);
  const QPoint other = kSpotPixels[3] + QPoint(kDotRadiusPx + 1, 0);
  QCOMPARE(PixelAt(map, ring), ColourOf(kMapBackground));
  window_->acList->selectRow(spot);
  QCOMPARE(PixelAt(map, ring), ColourOf(kHighlightRing));
  QCOMPARE(PixelAt(map, kSpotPixels[spot]), ColourOf(ClassColour(ColourBy::kSc, kSpots[spot].sc)));
  QCOMPARE(PixelAt(map, other), ColourOf(kMapBackground));
  window_->acList->clearSelection();
  QCOMPARE(PixelAt(map, ring), ColourOf(kMapBackground));
}

void MapWindowTest::ShiftDragAddsBoxToFilter_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("shown");
  // From pixel (100, 50) to (160, 110): P2 and P3 lie inside.
  QTest::newRow("terms lost or not separated")
      << ""
      << "coordx=452..932 coordy=68..548" << QStringList{"P2", "P3"};
  QTest::newRow("the typed filter replaced")
      << "sc<=5 "
      << "sc<=5 coordx=452..932 coordy=68..548" << QStringList{"P2"};
}

void MapWindowTest::ShiftDragAddsBoxToFilter() {
  QFETCH(QString, typed);
  QFETCH(QString, filter);
  QFETCH(QStringList, shown);
  MapWindow& map = OpenMap();
  window_->esFilter->setText(typed);
  Settle(map);
  QTest::mousePress(map.cvMap, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 50));
  QTest::mouseMove(map.cvMap, QPoint(130, 80));
  QTest::mouseMove(map.cvMap, QPoint(160, 110));
  QTest::mouseRelease(map.cvMap, Qt::LeftButton, Qt::ShiftModifier, QPoint(160, 110));
  QCOMPARE(window_->esFilter->text(), filter);
  Settle(map);
  QCOMPARE(ShownRoads(), shown);
  QCOMPARE(map.cvMap->Points().size(), std::size_t(shown.size()));
}

void MapWindowTest::MapFollowsRowsShownAndColouring() {
  MapWindow& map = OpenMap();
  const auto legend = [&map] {
    QStringList entries;
    for (int i = 0; i < map.tvLegend->topLevelItemCount(); ++i) {
      const QTreeWidgetItem& item = *map.tvLegend->topLevelItem(i);
      entries << item.text(0) + ": " + item.text(1);
    }
    return entries;
  };
  QCOMPARE(map.cvMap->Points().size(), kSpots.size());
  QCOMPARE(legend(), QStringList({"1: 1", "2: 2", "3: 1", "7: 1"}));
  window_->esFilter->setText("spd>=100");
  Settle(map);
  QCOMPARE(map.cvMap->Points().size(), std::size_t(3));
  map.cbColour->setCurrentIndex(map.cbColour->findData(int(ColourBy::kSpd)));
  Settle(map);
  QCOMPARE(map.tvLegend->headerItem()->text(0), QStringLiteral("spd"));
  QCOMPARE(legend(), QStringList({"91\u2013"
                                  "110: 1",
                                  "111\u2013"
                                  "130: 2"}));
  // The three points left are fitted in anew.
  const MapView& view = map.cvMap->View();
  const QPoint middle(qRound(PixelX(view, 500)), qRound(PixelY(view, 500)));
  QCOMPARE(PixelAt(map, middle),
           ColourOf(ClassColour(ColourBy::kSpd, ClassOf(ColourBy::kSpd, kSpots[2].spd))));
}

void MapWindowTest::MapFollowsEdits() {
  MapWindow& map = OpenMap();
  RecordTableModel& model = window_->Model();
  model.setData(model.index(0, int(Column::kSc)), QStringLiteral("9"));
  Settle(map);
  const auto count9 = [&map] {
    const auto items = map.tvLegend->findItems(QStringLiteral("9"), Qt::MatchExactly, 0);
    return items.isEmpty() ? QString() : items.front()->text(1);
  };
  QCOMPARE(count9(), QStringLiteral("1"));
  window_->acList->selectRow(0);
  window_->Actions().deleteRows->trigger();
  Settle(map);
  QCOMPARE(map.cvMap->Points().size(), kSpots.size() - 1);
  QCOMPARE(count9(), QString());
  window_->Actions().undo->trigger();
  Settle(map);
  QCOMPARE(map.cvMap->Points().size(), kSpots.size());
  QCOMPARE(count9(), QStringLiteral("1"));
}

void MapWindowTest::KeysMoveTheView_data() {
  QTest::addColumn<QList<int>>("keys");
  QTest::addColumn<double>("scale");
  QTest::newRow("+ does not zoom in") << QList<int>{Qt::Key_Plus} << 0.125 * 1.25;
  QTest::newRow("- does not undo +") << QList<int>{Qt::Key_Plus, Qt::Key_Minus} << 0.125;
  QTest::newRow("Home does not fit all in")
      << QList<int>{Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Home} << 0.125;
}

void MapWindowTest::KeysMoveTheView() {
  QFETCH(QList<int>, keys);
  QFETCH(double, scale);
  MapWindow& map = OpenMap();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  map.cvMap->setFocus();
  for (const int key : keys) QTest::keyClick(map.cvMap, Qt::Key(key));
  QCOMPARE(map.cvMap->View().scale, scale);
  QCOMPARE(GridX(map.cvMap->View(), 106), 500.0);
  QVERIFY(
      map.lbReadout->text().endsWith(QStringLiteral("1 px = %1 units").arg(1 / scale, 0, 'g', 2)));
}

void MapWindowTest::SaveWritesThePictureOnShow() {
  MapWindow& map = OpenMap();
  window_->acList->selectRow(2);
  const QString png = dir_->filePath("map.png");
  prompts_->SetNextFileName(png);
  window_->Actions().saveMap->trigger();
  QCOMPARE(prompts_->shown, QStringList({"save: Save map as"}));
  const QImage saved(png);
  QCOMPARE(saved.size(), kCanvasSize);
  for (const QPoint at : {kSpotPixels[2], kSpotPixels[2] + QPoint(kDotRadiusPx + 1, 0),
                          kSpotPixels[4], QPoint(130, 30)}) {
    QCOMPARE(saved.pixelColor(at), PixelAt(map, at));
  }
  QCOMPARE(saved.pixelColor(kSpotPixels[2] + QPoint(kDotRadiusPx + 1, 0)),
           ColourOf(kHighlightRing));
}

// Faults caught: a map over the table, a window that does not make room, a Home key taken from
// the table, Save offered for a map not on show.
void MapWindowTest::DocksBesideTheTableAndWidensTheWindow() {
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QCOMPARE(window_->Actions().saveMap->isEnabled(), false);
  const int narrow = window_->width();
  window_->Actions().map->trigger();
  MapWindow& map = window_->Map();
  QVERIFY(!map.isHidden());
  QVERIFY(window_->Actions().map->isChecked());
  QVERIFY(window_->Actions().saveMap->isEnabled());
  QCOMPARE(window_->dockWidgetArea(&map), Qt::RightDockWidgetArea);
  QVERIFY(!map.isFloating());
  QTRY_VERIFY(window_->width() > narrow);
  QTRY_VERIFY(map.geometry().left() >= window_->centralWidget()->geometry().right());
  window_->acList->setFocus();
  QTest::keyClick(window_->acList, Qt::Key_Minus);
  QCOMPARE(map.cvMap->View().scale, 1.0);  // the map's keys only while it has the focus
  map.close();                             // its own close button
  QVERIFY(!window_->Actions().map->isChecked());
  QVERIFY(!window_->Actions().saveMap->isEnabled());
  QTRY_COMPARE(window_->width(), narrow);
}

void MapWindowTest::HoverNamesTheRecord() {
  MapWindow& map = OpenMap();
  QTest::mouseMove(map.cvMap, kSpotPixels[2] + QPoint(2, -2));
  // No Speed text: its spd; dir -180 is the raw direction 0.
  QCOMPARE(map.lbReadout->text().section(QStringLiteral("    "), 0, 0),
           QStringLiteral("#2 \u00B7 sc 3 \u00B7 120 \u00B7 dir -180 \u00B7 P2"));
  QTest::mouseMove(map.cvMap, QPoint(130, 30));
  QVERIFY(map.lbReadout->text().startsWith(QStringLiteral("CoordX 692  CoordY 708")));
}

void MapWindowTest::NearHereAddsTheTerm() {
  MapWindow& map = OpenMap();
  window_->esFilter->setText(QStringLiteral("sc<=5"));
  Settle(map);
  // 0.125 pixels a unit: the scale bar is 500 units long; the others lie 566 units away.
  QAction* action = map.NearHereAction(499.6, 500.2, &map);
  QCOMPARE(action->text(), QStringLiteral("Records Within 500 units of Here"));
  action->trigger();
  QCOMPARE(window_->esFilter->text(), QStringLiteral("sc<=5 near:500,500,500"));
  Settle(map);
  QCOMPARE(ShownRoads(), QStringList{"P2"});
}

void MapWindowTest::ZoomToSelectionFitsTheSelectedRows() {
  MapWindow& map = OpenMap();
  QVERIFY(window_->Actions().zoomToSelection->isEnabled());
  window_->acList->selectRow(0);
  window_->acList->selectionModel()->select(
      window_->acList->model()->index(2, 0),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  window_->Actions().zoomToSelection->trigger();
  const MapView fitted = FitView({100, 100, 500, 500}, kCanvasSize.width(), kCanvasSize.height());
  QCOMPARE(map.cvMap->View().scale, fitted.scale);
  QCOMPARE(map.cvMap->View().centreX, 300.0);
}

void MapWindowTest::DoubleClickZoomsInOnTheDot() {
  MapWindow& map = OpenMap();
  QTest::mouseDClick(map.cvMap, Qt::LeftButton, Qt::NoModifier, kSpotPixels[2]);
  QCOMPARE(map.cvMap->View().scale, 0.125 * kSeparateZoom);
  QCOMPARE(GridX(map.cvMap->View(), kSpotPixels[2].x()), 500.0);
}

void MapWindowTest::ZoomIsKeptWhileShownPointsStayInView_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<bool>("kept");
  QTest::newRow("a zoom showing a point given up") << "sc=3" << true;
  QTest::newRow("a zoom showing no point kept") << "spd<=50" << false;
}

void MapWindowTest::ZoomIsKeptWhileShownPointsStayInView() {
  QFETCH(QString, filter);
  QFETCH(bool, kept);
  MapWindow& map = OpenMap();
  map.cvMap->ZoomBy(4);  // around P2 in the middle, the others out of view
  const double zoomed = map.cvMap->View().scale;
  window_->esFilter->setText(filter);
  Settle(map);
  const MapPoints& points = map.cvMap->Points();
  const MapView fitted = FitView(points.Bounds(), kCanvasSize.width(), kCanvasSize.height());
  QCOMPARE(map.cvMap->View().scale, kept ? zoomed : fitted.scale);
}

QTEST_MAIN(MapWindowTest)
#include "map_window_test.moc"
