#include <QBrush>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app/filter_field.h"
#include "app/kestrolan.h"
#include "app/map_canvas.h"
#include "app/map_window.h"
#include "app/table_copy.h"
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
  void ChangeCountText_data();
  void ChangeCountText();
  void CtrlDMarksEveryRowAndAppendsRemoved();
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

void KestrolanCompareTest::ChangeCountText_data() {
  QTest::addColumn<int>("added");
  QTest::addColumn<int>("moved");
  QTest::addColumn<QString>("text");
  QTest::newRow("counts out of order or without thousands")
      << 1203 << 40 << QStringLiteral("+1,203 \u22127 \u219440 ~3");
  QTest::newRow("zero counts dropped") << 0 << 0 << QStringLiteral("+0 \u22127 \u21940 ~3");
}

void KestrolanCompareTest::ChangeCountText() {
  QFETCH(int, added);
  QFETCH(int, moved);
  QFETCH(QString, text);
  ChangeCounts counts;
  counts.added = std::uint64_t(added);
  counts.removed = 7;
  counts.moved = std::uint64_t(moved);
  counts.changed = 3;
  counts.unchanged = 998101;
  QCOMPARE(::ChangeCountText(counts), text);
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
  QCOMPARE(window_->lbCount->text(), QStringLiteral("+1 \u22121 \u21941 ~1"));
  QCOMPARE(window_->lbCount->toolTip(),
           QStringLiteral("1 added, 1 removed, 1 moved, 1 changed, 1 unchanged\n"
                          "+ added, \u2212 removed, \u2194 moved, ~ changed"));
  window_->acList->selectRow(4);
  QCOMPARE(
      SelectedRowsText(*window_->acList),
      QStringLiteral("#\tCoordX\tCoordY\tSS\tMS\tLS\tX\tY\tsc\tmph\tspd\tdir\tSpeed\tRoad\tCity"
                     "\tChange\n1\t200\t0\t0\t0\t0\t200\t0\t0\t0\t0\t-180\t\tGone\t\tremoved\n"));
  window_->ShowMap();
  auto* map = window_->findChild<MapWindow*>();
  QTRY_VERIFY(!map->Reading());
  QCOMPARE(map->cvMap->Points().size(), std::size_t{5});
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
  QCOMPARE(prompts_->shown.last(), QStringLiteral("info: Done."));
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
  QCOMPARE(window_->lbCount->toolTip(), QString());
}

void KestrolanCompareTest::UnreadableArchiveLeavesTableAsItWas() {
  window_->LoadRadarFile(Archive("radar.lzw", kNew));
  prompts_->SetNextFileName(dir_->filePath(QStringLiteral("gone.lzw")));
  window_->CompareWith();
  QTRY_VERIFY(!window_->Comparing());
  QCOMPARE(prompts_->shown, QStringList({"open: Compare with", "info: LZW file not found"}));
  QCOMPARE(window_->Model().Comparison(), nullptr);
  QCOMPARE(window_->acList->model()->columnCount(), kColumnCount);
  QCOMPARE(Cells(int(Column::kRoad)), QStringList({"Move", "Same", "Edit", "New"}));
}

QTEST_MAIN(KestrolanCompareTest)
#include "kestrolan_compare_test.moc"
