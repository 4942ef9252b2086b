#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app/kestrolan.h"
#include "app/record_editor.h"
#include "radardb/records/radar_record.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

constexpr int kFindingColumn = kColumnCount;

// #1 copies #0, #2 stands on its spot with another speed, #3 lies 10 units from it, #4 far off.
std::string CheckedBytes() {
  struct Point {
    int x;
    int spd;
  };
  std::string bytes;
  for (const Point point : {Point{100, 50}, {100, 50}, {100, 90}, {110, 50}, {5000, 50}}) {
    RadarRecord record;
    record.X = static_cast<std::uint16_t>(point.x);
    record.packed = std::uint32_t(point.spd) << kSpeedShift;
    std::string("A1").copy(record.Road, kRoadFieldSize - 1);
    record.AppendTo(bytes);
  }
  return bytes;
}

}  // namespace

// Tools → Check Database in the window: the Finding column, its filter terms and summary, and
// what takes them away.
class KestrolanCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void FindingColumnBesideIndex();
  void FindingTermsPickTheirRows_data();
  void FindingTermsPickTheirRows();
  void ChangesTakeTheFindingsAway_data();
  void ChangesTakeTheFindingsAway();

 private:
  QStringList Cells(int column) const;
  void TypeFilter(const QString& text);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedPrompts> prompts_;
  std::unique_ptr<Kestrolan> window_;
};

void KestrolanCheckTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  prompts_ = std::make_unique<ScriptedPrompts>();
  window_ = std::make_unique<Kestrolan>(*prompts_);
  const QString path = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(path, CheckedBytes()));
  window_->LoadRadarFile(path);
  QVERIFY(window_->Actions().checkDatabase->isEnabled());
  window_->Actions().checkDatabase->trigger();
  QTRY_VERIFY(!window_->Checking());
  QVERIFY(window_->Model().Findings() != nullptr);
}

void KestrolanCheckTest::cleanup() {
  QCOMPARE(prompts_->shown, QStringList());
  window_.reset();
}

QStringList KestrolanCheckTest::Cells(int column) const {
  QStringList cells;
  const QAbstractItemModel& model = *window_->acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    cells << model.index(row, column).data().toString();
  }
  return cells;
}

void KestrolanCheckTest::TypeFilter(const QString& text) {
  window_->esFilter->setText(text);
  QTRY_VERIFY(!window_->Model().Filtering());
}

void KestrolanCheckTest::FindingColumnBesideIndex() {
  const QHeaderView& header = *window_->acList->horizontalHeader();
  QCOMPARE(header.model()->headerData(kFindingColumn, Qt::Horizontal).toString(),
           QStringLiteral("Finding"));
  QCOMPARE(header.visualIndex(kFindingColumn), 1);
  QCOMPARE(Cells(kFindingColumn), QStringList({"", "duplicate", "conflict", "near-duplicate", ""}));
  const QAbstractItemModel& model = *window_->acList->model();
  QCOMPARE(model.index(1, kFindingColumn).data(Qt::ToolTipRole).toString(),
           QStringLiteral("duplicate of #0"));
  QCOMPARE(model.index(3, kFindingColumn).data(Qt::ToolTipRole).toString(),
           QStringLiteral("near-duplicate of #0"));
  QCOMPARE(window_->lbFindings->text(),
           QStringLiteral("1 duplicate, 1 conflict, 1 near-duplicate, 0 cut-text, "
                          "0 control-character"));
  QVERIFY(!window_->lbFindings->isHidden());
  QVERIFY(window_->Actions().checkDatabase->isChecked());
}

void KestrolanCheckTest::FindingTermsPickTheirRows_data() {
  QTest::addColumn<QString>("term");
  QTest::addColumn<QStringList>("rows");
  QTest::newRow("duplicate") << "finding:duplicate" << QStringList({"1"});
  QTest::newRow("conflict") << "finding:conflict" << QStringList({"2"});
  QTest::newRow("near-duplicate") << "finding:near-duplicate" << QStringList({"3"});
  QTest::newRow("any") << "finding:any" << QStringList({"1", "2", "3"});
  QTest::newRow("none") << "-finding:any" << QStringList({"0", "4"});
}

void KestrolanCheckTest::FindingTermsPickTheirRows() {
  QFETCH(QString, term);
  QFETCH(QStringList, rows);
  TypeFilter(term);
  QCOMPARE(window_->esFilter->styleSheet(), QString());
  QCOMPARE(Cells(int(Column::kIndex)), rows);
}

void KestrolanCheckTest::ChangesTakeTheFindingsAway_data() {
  QTest::addColumn<int>("change");
  QTest::newRow("a cell edited") << 0;
  QTest::newRow("a row deleted") << 1;
  QTest::newRow("Check Database again") << 2;
}

void KestrolanCheckTest::ChangesTakeTheFindingsAway() {
  QFETCH(int, change);
  TypeFilter(QStringLiteral("finding:duplicate"));
  // Sorted by the column that goes: nothing is left to sort by it.
  window_->acList->sortByColumn(kFindingColumn, Qt::DescendingOrder);
  if (change == 0) {
    window_->Editor().SetCell(4, int(Column::kSpd), QStringLiteral("60"));
  } else if (change == 1) {
    window_->acList->selectRow(0);
    window_->Editor().RemoveSelected();
  } else {
    window_->Actions().checkDatabase->trigger();
  }
  QVERIFY(window_->Model().Findings() == nullptr);
  QCOMPARE(window_->acList->model()->columnCount(), kColumnCount);
  QVERIFY(!window_->Actions().checkDatabase->isChecked());
  QVERIFY(window_->lbFindings->isHidden());
  // The filter read the findings: every row shows, and the term is marked.
  QVERIFY(!window_->Model().Filtered());
  QVERIFY(window_->esFilter->styleSheet().contains(QStringLiteral("border")));
  QCOMPARE(window_->esFilter->toolTip(),
           QStringLiteral("unknown column 'finding' in 'finding:duplicate'"));
  TypeFilter(QStringLiteral("road:a1"));
  QCOMPARE(window_->acList->model()->rowCount(), change == 1 ? 4 : 5);
}

QTEST_MAIN(KestrolanCheckTest)
#include "kestrolan_check_test.moc"
