#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/filter_help.h"
#include "app/kestrolan.h"
#include "app/record_table_view.h"
#include "app/window_status.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// What the window adds around the table: the filter field and its count, copying rows, the
// columns' menu, shortcuts, and files dropped on the window.
class KestrolanFilterTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void CountText_data();
  void CountText();
  void ReadmeTableIsTheFilterHelp();
  void FilterFieldNarrowsRowsAndCounts();
  void InvalidTermMarksFieldAndKeepsRows();
  void CopyGivesShownColumnsOfSelectedRows();
  void ColumnMenuHidesAndShowsColumns();
  void HomeAndEndGoToFirstAndLastRow();
  void ShortcutsReachTheirControls();
  void DroppedFilesLoadInOrderLikeLoad();
  void DropOfNoLocalFileIsRefused();

 private:
  QString Archive(const QString& name, const std::vector<std::string>& roads);
  void TypeFilter(Kestrolan& window, const QString& text);
  QStringList ShownRoads(const Kestrolan& window) const;

  std::unique_ptr<QTemporaryDir> dir_;
};

void KestrolanFilterTest::init() { dir_ = std::make_unique<QTemporaryDir>(); }

QString KestrolanFilterTest::Archive(const QString& name, const std::vector<std::string>& roads) {
  const QString path = dir_->filePath(name);
  if (!WriteArchive(path, RecordBytes(roads))) qFatal("cannot write %s", qPrintable(path));
  return path;
}

void KestrolanFilterTest::TypeFilter(Kestrolan& window, const QString& text) {
  window.esFilter->setText(text);
  QTRY_VERIFY(!window.Model().Filtering());
}

QStringList KestrolanFilterTest::ShownRoads(const Kestrolan& window) const {
  QStringList roads;
  const QAbstractItemModel& model = *window.acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    roads << model.index(row, int(Column::kRoad)).data().toString();
  }
  return roads;
}

void KestrolanFilterTest::CountText_data() {
  QTest::addColumn<int>("shown");
  QTest::addColumn<int>("total");
  QTest::addColumn<bool>("filtered");
  QTest::addColumn<QString>("text");
  QTest::newRow("unfiltered: total with a thousands comma")
      << 3000 << 3000 << false << "3,000 records";
  QTest::newRow("filtered: shown of total") << 17 << 3000 << true << "17 of 3,000 records";
  QTest::newRow("filtered to nothing still says so")
      << 0 << 1234567 << true << "0 of 1,234,567 records";
  QTest::newRow("one record is singular") << 1 << 1 << false << "1 record";
  QTest::newRow("empty table") << 0 << 0 << false << "0 records";
}

void KestrolanFilterTest::CountText() {
  QFETCH(int, shown);
  QFETCH(int, total);
  QFETCH(bool, filtered);
  QFETCH(QString, text);
  QCOMPARE(RecordCountText(std::size_t(shown), std::size_t(total), filtered), text);
}

// The README's table of the filter language is written from the same table as the field's
// tooltip and the help window; a term added or reworded in one place only is caught here.
void KestrolanFilterTest::ReadmeTableIsTheFilterHelp() {
  QFile readme(QStringLiteral(KESTROLAN_SOURCE_DIR "/README.md"));
  QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(readme.readAll());
  const QString section = text.section(QStringLiteral("## The filter language"), 1, 1)
                              .section(QStringLiteral("\n## "), 0, 0);
  QStringList rows;
  for (const QString& line : section.split(u'\n')) {
    if (line.startsWith(QStringLiteral("| `"))) rows << line;
  }
  QStringList expected;
  for (const FilterTermHelp& term : FilterTerms()) {
    expected << QStringLiteral("| `%1` | %2 |")
                    .arg(term.examples.join(QStringLiteral("`, `")), FilterMeaning(term));
  }
  QCOMPARE(rows, expected);
}

void KestrolanFilterTest::FilterFieldNarrowsRowsAndCounts() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.acList->horizontalHeader()->setSortIndicator(int(Column::kRoad), Qt::DescendingOrder);
  window.LoadRadarFile(Archive("radar.lzw", {"A1", "B2", "A3", "Rue d'Orb"}));
  QCOMPARE(window.lbCount->text(), QStringLiteral("4 records"));
  TypeFilter(window, "a");
  QCOMPARE(ShownRoads(window), QStringList({"A3", "A1"}));
  QCOMPARE(window.lbCount->text(), QStringLiteral("2 of 4 records"));
  TypeFilter(window, "-road:a x>=1");
  QCOMPARE(ShownRoads(window), QStringList({"Rue d'Orb", "B2"}));
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.esFilter->setFocus();
  QTest::keyClick(window.esFilter, Qt::Key_Escape);
  QCOMPARE(window.esFilter->text(), QString());
  QTRY_COMPARE(window.lbCount->text(), QStringLiteral("4 records"));
  QCOMPARE(ShownRoads(window), QStringList({"Rue d'Orb", "B2", "A3", "A1"}));
  QCOMPARE(window.esFilter->toolTip(), FilterHelp());
}

void KestrolanFilterTest::InvalidTermMarksFieldAndKeepsRows() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(Archive("radar.lzw", {"A1", "B2", "A3"}));
  TypeFilter(window, "b");
  TypeFilter(window, "b spd>=fast");
  QCOMPARE(window.esFilter->toolTip(), QStringLiteral("bad number 'fast' in 'spd>=fast'"));
  QVERIFY(window.esFilter->styleSheet().contains(QStringLiteral("border")));
  QCOMPARE(ShownRoads(window), QStringList({"B2"}));
  QCOMPARE(window.lbCount->text(), QStringLiteral("1 of 3 records"));
  TypeFilter(window, "b spd>=0");
  QCOMPARE(window.esFilter->styleSheet(), QString());
  QCOMPARE(window.esFilter->toolTip(), FilterHelp());
  QCOMPARE(prompts.shown, QStringList());
}

void KestrolanFilterTest::CopyGivesShownColumnsOfSelectedRows() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(Archive("radar.lzw", {"A1", "B\t2", "A3"}));
  QHeaderView* header = window.acList->horizontalHeader();
  for (int column = 0; column < kColumnCount; ++column) {
    const bool kept =
        column == int(Column::kIndex) || column == int(Column::kRoad) || column == int(Column::kX);
    header->setSectionHidden(column, !kept);
  }
  header->moveSection(header->visualIndex(int(Column::kRoad)), 0);
  window.acList->sortByColumn(int(Column::kX), Qt::DescendingOrder);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.acList->setFocus();
  window.acList->selectRow(2);
  QTest::keyClick(window.acList, Qt::Key_Up, Qt::ShiftModifier);
  QTest::keyClick(window.acList, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QStringLiteral("Road\t#\tX\nB 2\t1\t1\nA1\t0\t0\n"));
  QTest::keyClick(window.acList, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(window.acList, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), 4);
  const WindowActions& commands = window.Actions();
  QCOMPARE(window.acList->actions(),
           QList<QAction*>({commands.copy, commands.selectAll, commands.deleteRows,
                            commands.insertRow, commands.map, commands.compareWith}));
  QCOMPARE(window.acList->contextMenuPolicy(), Qt::ActionsContextMenu);
}

void KestrolanFilterTest::ColumnMenuHidesAndShowsColumns() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QHeaderView* header = window.acList->horizontalHeader();
  // View → Columns, filled as it opens.
  QMenu& menu = *window.Actions().columnsMenu;
  emit menu.aboutToShow();
  QStringList names;
  for (const QAction* action : menu.actions()) names << action->text();
  QCOMPARE(names, QStringList({"#", "CoordX", "CoordY", "SS", "MS", "LS", "X", "Y", "sc", "mph",
                               "spd", "dir", "Speed", "Road", "City"}));
  menu.actions()[int(Column::kRoad)]->trigger();
  QVERIFY(header->isSectionHidden(int(Column::kRoad)));
  emit menu.aboutToShow();
  QVERIFY(!menu.actions()[int(Column::kRoad)]->isChecked());
  menu.actions()[int(Column::kRoad)]->trigger();
  QVERIFY(!header->isSectionHidden(int(Column::kRoad)));
  QCOMPARE(header->sectionSize(int(Column::kRoad)), 300);
  for (int column = 1; column < kColumnCount; ++column) header->setSectionHidden(column, true);
  emit menu.aboutToShow();
  QVERIFY2(!menu.actions()[0]->isEnabled(), "the last column shown could be hidden");
  QVERIFY(menu.actions()[1]->isEnabled());
  // Reset Columns brings back every column, in order, at its width.
  header->moveSection(header->visualIndex(int(Column::kCity)), 0);
  header->resizeSection(int(Column::kIndex), 200);
  window.Actions().resetColumns->trigger();
  for (int column = 0; column < kColumnCount; ++column) {
    QCOMPARE(header->visualIndex(column), column);
    QCOMPARE(header->sectionSize(column), kColumnLooks[column].widthPx);
  }
}

void KestrolanFilterTest::HomeAndEndGoToFirstAndLastRow() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(Archive("radar.lzw", {"a", "b", "c", "d"}));
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.acList->setFocus();
  window.acList->setCurrentIndex(window.acList->model()->index(1, int(Column::kRoad)));
  QTest::keyClick(window.acList, Qt::Key_End);
  QCOMPARE(window.acList->currentIndex().row(), 3);
  QTest::keyClick(window.acList, Qt::Key_Home);
  QCOMPARE(window.acList->currentIndex().row(), 0);
  QVERIFY(!window.acList->tabKeyNavigation());
}

void KestrolanFilterTest::ShortcutsReachTheirControls() {
  const QString archive = Archive("radar.lzw", {"a"});
  ScriptedPrompts prompts;
  prompts.SetNextFileName(archive);
  prompts.SetNextFileName(QString());  // cancel the export
  prompts.SetNextFileName(QString());  // and the one asked from the filter field
  Kestrolan window(prompts);
  QTimer::singleShot(0, &window, [&] {
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_E, Qt::ControlModifier);  // disabled: nothing
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window.esFilter->hasFocus());
    QTest::keyClick(window.esFilter, Qt::Key_E, Qt::ControlModifier);  // not the field's own key
    QTest::keyClick(window.esFilter, Qt::Key_Q, Qt::ControlModifier);
  });
  QCOMPARE(window.Run(), Kestrolan::kExitCode);
  QCOMPARE(prompts.shown, QStringList({"open: Open Radar file", "save: Save as", "save: Save as"}));
  QCOMPARE(window.esFilename->text(), archive);
}

void KestrolanFilterTest::DroppedFilesLoadInOrderLikeLoad() {
  const QString first = Archive("radar.lzw", {"A1", "A2"});
  const QString second = Archive("dangerz.lzw", {"D1"});
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(dir_->filePath("gone.lzw")),
                QUrl(QStringLiteral("https://example.org/radar.lzw")),
                QUrl::fromLocalFile(second)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  QVERIFY(drop.isAccepted());
  QTRY_COMPARE(window.esFilename->text(), second);
  QCOMPARE(prompts.shown,
           QStringList({"info: LZW file not found", "details: " + dir_->filePath("gone.lzw")}));
  QCOMPARE(ShownRoads(window), QStringList({"D1"}));
  QCOMPARE(window.fsRadar.file, second);  // Export offers dangerz.csv, as after Load
  QCOMPARE(prompts.unexpected, 0);
}

void KestrolanFilterTest::DropOfNoLocalFileIsRefused() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QMimeData data;
  data.setUrls({QUrl(QStringLiteral("https://example.org/radar.lzw"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.setAccepted(false);
  QCoreApplication::sendEvent(&window, &enter);
  QVERIFY(!enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  drop.setAccepted(false);
  QCoreApplication::sendEvent(&window, &drop);
  QVERIFY(!drop.isAccepted());
  QCoreApplication::processEvents();
  QCOMPARE(prompts.shown, QStringList());
  QCOMPARE(window.esFilename->text(), QString());
}

QTEST_MAIN(KestrolanFilterTest)
#include "kestrolan_filter_test.moc"
