#include <QBrush>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/change_look.h"
#include "app/filter_help.h"
#include "app/kestrolan.h"
#include "app/map_canvas.h"
#include "app/map_window.h"
#include "app/table_copy.h"
#include "app/window_status.h"
#include "radardb/map/map_colours.h"
#include "radardb/records/radar_record.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

// A record at grid column `x` (CoordX = X = x, all else zero but the speed).
struct Point {
  int x;
  const char* road;
  int spd = 0;
};

std::string PointBytes(const std::vector<Point>& points) {
  std::string bytes;
  for (const Point& point : points) {
    RadarRecord record;
    record.X = static_cast<std::uint16_t>(point.x);
    record.packed = std::uint32_t(point.spd) << kSpeedShift;
    std::string(point.road).copy(record.Road, kRoadFieldSize - 1);
    record.AppendTo(bytes);
  }
  return bytes;
}

// One record of each kind between the two releases: Move moved 10 units, Same unchanged, Edit
// with a new speed, New added, Gone (OLD's #1) removed.
const std::vector<Point> kOld = {{100, "Same"}, {200, "Gone"}, {300, "Edit", 50}, {400, "Move"}};
const std::vector<Point> kNew = {{410, "Move"}, {100, "Same"}, {300, "Edit", 90}, {600, "New"}};

}  // namespace

// "Compare with…" in the window: the Change column and the removed rows, the filter and the
// count, Export, and how a comparison ends.
class KestrolanCompareTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void ChangeSummaryText_data();
  void ChangeSummaryText();
  void CtrlDMarksEveryRowAndAppendsRemoved();
  void ChangesShowAtTheFirstSize_data();
  void ChangesShowAtTheFirstSize();
  void MapColoursByChange();
  void FilterAndSortByChange();
  void ExportWritesChangeAsFifteenthField();
  void LoadingAnotherDatabaseEndsIt_data();
  void LoadingAnotherDatabaseEndsIt();
  void UnreadableArchiveLeavesTableAsItWas();

 private:
  QString Archive(const QString& name, const std::vector<Point>& points);
  // Loads NEW and compares it with OLD through "Compare with…".
  void LoadAndCompare();
  QStringList Cells(int column) const;
  void TypeFilter(const QString& text);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::unique_ptr<Kestrolan> window_;
};

void KestrolanCompareTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  prompts_ = std::make_unique<ScriptedPrompts>();
  window_ = std::make_unique<Kestrolan>(*prompts_);
}

void KestrolanCompareTest::cleanup() {
  QCOMPARE(prompts_->unexpected, 0);
  window_.reset();
}

QString KestrolanCompareTest::Archive(const QString& name, const std::vector<Point>& points) {
  const QString path = dir_->filePath(name);
  if (!WriteArchive(path, PointBytes(points))) qFatal("cannot write %s", qPrintable(path));
  return path;
}

void KestrolanCompareTest::LoadAndCompare() {
  prompts_->SetNextFileName(Archive("old.lzw", kOld));
  window_->LoadRadarFile(Archive("radar.lzw", kNew));
  window_->CompareWith();
  QTRY_VERIFY(!window_->Comparing());
  QVERIFY(window_->Model().Comparison() != nullptr);
}

QStringList KestrolanCompareTest::Cells(int column) const {
  QStringList cells;
  const QAbstractItemModel& model = *window_->acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    cells << model.index(row, column).data().toString();
  }
  return cells;
}

void KestrolanCompareTest::TypeFilter(const QString& text) {
  window_->esFilter->setText(text);
  QTRY_VERIFY(!window_->Model().Filtering());
}

void KestrolanCompareTest::ChangeSummaryText_data() {
  QTest::addColumn<int>("added");
  QTest::addColumn<int>("moved");
  QTest::addColumn<QString>("text");
  QTest::newRow("counts out of order or without thousands")
      << 1203 << 40 << QStringLiteral("1,203 added, 7 removed, 40 moved, 3 changed");
  QTest::newRow("zero counts dropped")
      << 0 << 0 << QStringLiteral("0 added, 7 removed, 0 moved, 3 changed");
}

void KestrolanCompareTest::ChangeSummaryText() {
  QFETCH(int, added);
  QFETCH(int, moved);
  QFETCH(QString, text);
  ChangeCounts counts;
  counts.added = std::uint64_t(added);
  counts.removed = 7;
  counts.moved = std::uint64_t(moved);
  counts.changed = 3;
  counts.unchanged = 998101;
  QCOMPARE(::ChangeSummaryText(counts), text);
}

void KestrolanCompareTest::CtrlDMarksEveryRowAndAppendsRemoved() {
  const QString newArchive = Archive("radar.lzw", kNew);
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::keyClick(window_.get(), Qt::Key_D, Qt::ControlModifier);  // nothing loaded: nothing asked
  QCOMPARE(prompts_->shown, QStringList());
  window_->LoadRadarFile(newArchive);
  prompts_->SetNextFileName(Archive("old.lzw", kOld));
  QTest::keyClick(window_.get(), Qt::Key_D, Qt::ControlModifier);
  QTRY_VERIFY(window_->Model().Comparison() != nullptr);

  QCOMPARE(prompts_->shown, QStringList({"open: Compare with"}));
  QCOMPARE(window_->fsRadar.file, QString());  // Export still offers the loaded database's name
  QCOMPARE(window_->acList->model()->headerData(kChangeField, Qt::Horizontal).toString(),
           QStringLiteral("Change"));
  QCOMPARE(window_->acList->horizontalHeader()->sectionSize(kChangeField), 120);
  QCOMPARE(Cells(kChangeField), QStringList({"moved", "", "changed", "added", "removed"}));
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Move", "Same", "Edit", "New", "Gone"}));
  QCOMPARE(Cells(int(Column::kIndex)), QStringList({"0", "1", "2", "3", "1"}));
  const QAbstractItemModel& model = *window_->acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    const QVariant colour = model.index(row, int(Column::kRoad)).data(Qt::ForegroundRole);
    QCOMPARE(colour.isValid(), row == 4);
  }
  QCOMPARE(model.index(4, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
           QColor::fromRgb(kRemovedRowRgb));
  QCOMPARE(window_->lbCount->text(), QStringLiteral("5 records"));
  QCOMPARE(window_->lbChanges->text(), QStringLiteral("1 added, 1 removed, 1 moved, 1 changed"));
  QCOMPARE(window_->lbChanges->toolTip(),
           QStringLiteral("1 added, 1 removed, 1 moved, 1 changed, 1 unchanged"));
  window_->acList->selectRow(4);
  QCOMPARE(
      SelectedRowsText(*window_->acList),
      QStringLiteral("#\tChange\tCoordX\tCoordY\tSS\tMS\tLS\tX\tY\tsc\tmph\tspd\tdir\tSpeed\tRoad"
                     "\tCity\n1\tremoved\t200\t0\t0\t0\t0\t200\t0\t0\t0\t0\t-180\t\tGone\t\n"));
  window_->ShowMap();
  QTRY_VERIFY(!window_->Map().Reading());
  QCOMPARE(window_->Map().cvMap->Points().size(), std::size_t{5});
}

void KestrolanCompareTest::ChangesShowAtTheFirstSize_data() {
  QTest::addColumn<int>("row");  // as the table shows it: Move, Same, Edit, New, Gone
  QTest::addColumn<int>("column");
  QTest::addColumn<bool>("tinted");
  QTest::addColumn<bool>("differs");
  QTest::addColumn<QString>("tip");
  QTest::newRow("a moved row's new position not marked")
      << 0 << int(Column::kCoordX) << true << true << "was 400";
  QTest::newRow("a moved row's same road marked") << 0 << int(Column::kRoad) << true << false << "";
  QTest::newRow("an unchanged row tinted") << 1 << int(Column::kCoordX) << false << false << "";
  QTest::newRow("a changed speed without its earlier value")
      << 2 << int(Column::kSpd) << true << true << "was 50";
  QTest::newRow("an added row untinted") << 3 << int(Column::kRoad) << true << false << "";
  QTest::newRow("a removed row tinted as a change")
      << 4 << int(Column::kRoad) << false << false << "";
}

// At the first size the Change column is on screen beside "#", and the rows show their change.
void KestrolanCompareTest::ChangesShowAtTheFirstSize() {
  QFETCH(int, row);
  QFETCH(int, column);
  QFETCH(bool, tinted);
  QFETCH(bool, differs);
  QFETCH(QString, tip);
  LoadAndCompare();
  window_->show();
  const QHeaderView& header = *window_->acList->horizontalHeader();
  QCOMPARE(header.visualIndex(kChangeField), 1);
  QTRY_VERIFY(header.sectionViewportPosition(kChangeField) + header.sectionSize(kChangeField) <=
              window_->acList->viewport()->width());
  const QModelIndex cell = window_->acList->model()->index(row, column);
  const QVariant change = cell.data(RecordTableModel::kChangeRole);
  QCOMPARE(ChangeTint(change.toInt(), window_->acList->palette(), false).isValid(), tinted);
  QCOMPARE(cell.data(RecordTableModel::kDiffersRole).toBool(), differs);
  QCOMPARE(cell.data(Qt::ToolTipRole).toString(), tip);
}

void KestrolanCompareTest::MapColoursByChange() {
  LoadAndCompare();
  window_->show();
  window_->ShowMap();
  MapWindow& map = window_->Map();
  QCOMPARE(map.cbColour->currentData().toInt(), int(ColourBy::kChange));
  QTRY_VERIFY(!map.Reading());
  QStringList legend;
  for (int i = 0; i < map.tvLegend->topLevelItemCount(); ++i) {
    const QTreeWidgetItem& item = *map.tvLegend->topLevelItem(i);
    legend << item.text(0) + ": " + item.text(1);
  }
  QCOMPARE(legend,
           QStringList({"unchanged: 1", "changed: 1", "moved: 1", "added: 1", "removed: 1"}));
  for (int change = 1; change < ClassCount(ColourBy::kChange); ++change) {
    QCOMPARE(ClassLabel(ColourBy::kChange, change),
             std::string(ChangeWord(static_cast<RecordChange>(change))));
  }
  // The comparison over, the change is no longer offered and the map goes back to sc.
  window_->LoadRadarFile(Archive("dangerz.lzw", kOld));
  QCOMPARE(map.cbColour->findData(int(ColourBy::kChange)), -1);
  QTRY_VERIFY(!map.Reading());
  QCOMPARE(map.cvMap->Points().Colouring(), ColourBy::kSc);
}

void KestrolanCompareTest::FilterAndSortByChange() {
  LoadAndCompare();
  TypeFilter(QStringLiteral("change:removed"));
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Gone"}));
  QCOMPARE(window_->lbCount->text(), QStringLiteral("1 of 5 records"));
  TypeFilter(QStringLiteral("-change:removed"));
  window_->acList->sortByColumn(kChangeField, Qt::AscendingOrder);
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Same", "New", "Edit", "Move"}));
  TypeFilter(QString());
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Same", "New", "Edit", "Move", "Gone"}));
}

void KestrolanCompareTest::ExportWritesChangeAsFifteenthField() {
  LoadAndCompare();
  const QString csv = dir_->filePath(QStringLiteral("out.csv"));
  prompts_->SetNextFileName(csv);
  window_->ExportCsv();
  QCOMPARE(prompts_->shown.mid(prompts_->shown.size() - 2),
           QStringList({"info: Done.", "details: 5 records written to " + csv}));
  QFile file(csv);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(),
           QByteArray("CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City,Change\r\n"
                      "410,0,0,0,0,410,0,0,0,0,-180,,Move,,moved\r\n"
                      "100,0,0,0,0,100,0,0,0,0,-180,,Same,,\r\n"
                      "300,0,0,0,0,300,0,0,0,90,-180,,Edit,,changed\r\n"
                      "600,0,0,0,0,600,0,0,0,0,-180,,New,,added\r\n"
                      "200,0,0,0,0,200,0,0,0,0,-180,,Gone,,removed\r\n"));
}

void KestrolanCompareTest::LoadingAnotherDatabaseEndsIt_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("roads");  // at once after the load
  QTest::addColumn<QString>("tip");
  QTest::newRow("a filter on the change read a column no longer there")
      << "change:removed" << QStringList({"Z1", "Z2", "A3"})
      << "unknown column 'change' in 'change:removed'";
  QTest::newRow("a filter on the other columns stays")
      << "road:z" << QStringList({"Z1", "Z2"}) << FilterHelp();
}

void KestrolanCompareTest::LoadingAnotherDatabaseEndsIt() {
  QFETCH(QString, filter);
  QFETCH(QStringList, roads);
  QFETCH(QString, tip);
  LoadAndCompare();
  window_->acList->sortByColumn(kChangeField, Qt::DescendingOrder);
  TypeFilter(filter);
  window_->LoadRadarFile(Archive("dangerz.lzw", {{5, "Z1"}, {6, "Z2"}, {7, "A3"}}));
  QCOMPARE(Cells(int(Column::kRoad)), roads);
  QCOMPARE(window_->Model().Comparison(), nullptr);
  QCOMPARE(window_->acList->model()->columnCount(), kColumnCount);
  QCOMPARE(window_->acList->horizontalHeader()->sortIndicatorSection(), -1);
  QTRY_VERIFY(!window_->Model().Filtering());
  QCOMPARE(Cells(int(Column::kRoad)), roads);
  QCOMPARE(window_->esFilter->toolTip(), tip);
  QVERIFY(window_->lbChanges->isHidden());
}

void KestrolanCompareTest::UnreadableArchiveLeavesTableAsItWas() {
  window_->LoadRadarFile(Archive("radar.lzw", kNew));
  prompts_->SetNextFileName(dir_->filePath(QStringLiteral("gone.lzw")));
  window_->CompareWith();
  QTRY_VERIFY(!window_->Comparing());
  QCOMPARE(prompts_->shown, QStringList({"open: Compare with", "info: LZW file not found",
                                         "details: " + dir_->filePath("gone.lzw")}));
  QCOMPARE(window_->Model().Comparison(), nullptr);
  QCOMPARE(window_->acList->model()->columnCount(), kColumnCount);
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Move", "Same", "Edit", "New"}));
}

QTEST_MAIN(KestrolanCompareTest)
#include "kestrolan_compare_test.moc"
