#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "app/kestrolan.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// The window's Load: the rows, the file name field, the Export button and the messages after
// loads from the Load button and from the command line.
class KestrolanLoadTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void ShowsOutcome_data();
  void ShowsOutcome();
  void MissingArchiveKeepsPreviousRowsAndPath();
  void SecondLoadReplacesRows();
  void LoadButtonLoadsChosenFileAndRemembersIt();
  void CancelledOpenChangesNothing();
  void LoadKeepsTheChosenSort();
  void CommandLineLoadLeavesSelectorUntouched();
  void LoadKeepsColumnWidthsAndDraggedOrder();

 private:
  QString Archive(const QString& name, const std::string& expanded);
  QList<int> ShownX(const Kestrolan& window) const;

  std::unique_ptr<QTemporaryDir> dir_;
};

void KestrolanLoadTest::init() { dir_ = std::make_unique<QTemporaryDir>(); }

QString KestrolanLoadTest::Archive(const QString& name, const std::string& expanded) {
  const QString path = dir_->filePath(name);
  if (!WriteArchive(path, expanded)) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QList<int> KestrolanLoadTest::ShownX(const Kestrolan& window) const {
  QList<int> x;
  const QAbstractItemModel& model = *window.acList->model();
  for (int row = 0; row < model.rowCount(); ++row) {
    x << model.data(model.index(row, int(Column::kX))).toInt();
  }
  return x;
}

void KestrolanLoadTest::ShowsOutcome_data() {
  QTest::addColumn<QByteArray>("expanded");
  QTest::addColumn<QList<int>>("indexes");  // "#" of the rows
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<bool>("exportEnabled");

  const std::string three = RecordBytes({"A1", "A2", "A3"});
  QTest::newRow("three records: rows 0, 1, 2, Export on, no message")
      << QByteArray::fromStdString(three) << QList<int>{0, 1, 2} << QStringList() << true;
  QTest::newRow("no records: empty table, Export on")
      << QByteArray() << QList<int>{} << QStringList() << true;
  QTest::newRow("482 bytes: two rows") << QByteArray::fromStdString(three.substr(0, 482))
                                       << QList<int>{0, 1} << QStringList() << true;
  QTest::newRow("483 bytes: no rows, message, Export off")
      << QByteArray::fromStdString(three.substr(0, 483)) << QList<int>{}
      << QStringList{"info: Database ends inside a record", "details: PATH"} << false;
  QTest::newRow("under one record: nothing, Export on")
      << QByteArray(240, 'x') << QList<int>{} << QStringList() << true;
}

void KestrolanLoadTest::ShowsOutcome() {
  QFETCH(QByteArray, expanded);
  QFETCH(QList<int>, indexes);
  QFETCH(QStringList, shown);
  QFETCH(bool, exportEnabled);
  const QString path = Archive(QStringLiteral("radar.lzw"), expanded.toStdString());
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(path);
  QList<int> rows;
  for (int row = 0; row < window.acList->model()->rowCount(); ++row) {
    rows << window.acList->model()->index(row, int(Column::kIndex)).data().toInt();
  }
  QCOMPARE(rows, indexes);
  QCOMPARE(prompts.shown.replaceInStrings(path, QStringLiteral("PATH")), shown);
  QCOMPARE(window.btExport->isEnabled(), exportEnabled);
  QCOMPARE(window.esFilename->text(), path);
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList({"radar.lzw"}));
}

void KestrolanLoadTest::MissingArchiveKeepsPreviousRowsAndPath() {
  const QString path = Archive(QStringLiteral("radar.lzw"), RecordBytes({"N7", "N8"}));
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(path);
  const QString gone = dir_->filePath(QStringLiteral("gone/dangerz.lzw"));
  window.LoadRadarFile(gone);
  QCOMPARE(prompts.shown, QStringList({"info: LZW file not found", "details: " + gone}));
  QCOMPARE(ShownX(window), QList<int>({0, 1}));
  QCOMPARE(window.esFilename->text(), path);
  QVERIFY(window.btExport->isEnabled());
}

void KestrolanLoadTest::SecondLoadReplacesRows() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(Archive(QStringLiteral("radar.lzw"), RecordBytes({"a", "b", "c"})));
  const QString second = Archive(QStringLiteral("dangerz.lzw"), RecordBytes({"z"}));
  window.LoadRadarFile(second);
  QCOMPARE(window.acList->model()->rowCount(), 1);
  QCOMPARE(window.acList->model()->index(0, int(Column::kRoad)).data().toString(),
           QStringLiteral("z"));
  QCOMPARE(window.esFilename->text(), second);
}

void KestrolanLoadTest::LoadButtonLoadsChosenFileAndRemembersIt() {
  const QString path = Archive(QStringLiteral("radar.lzw"), RecordBytes({"D1"}));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(path);
  Kestrolan window(prompts);
  window.btLoad->click();
  QCOMPARE(prompts.shown, QStringList({"open: Open Radar file"}));
  QCOMPARE(window.acList->model()->rowCount(), 1);
  QCOMPARE(window.esFilename->text(), path);
  QCOMPARE(window.fsRadar.file, path);
  QCOMPARE(window.fsRadar.directory, dir_->path());
}

void KestrolanLoadTest::CancelledOpenChangesNothing() {
  const QString path = Archive(QStringLiteral("radar.lzw"), RecordBytes({"D1", "D2"}));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(path);
  prompts.SetNextFileName(QString());  // cancel
  Kestrolan window(prompts);
  window.btLoad->click();
  const FileSelector before = window.fsRadar;
  window.btLoad->click();
  QCOMPARE(prompts.shown, QStringList({"open: Open Radar file", "open: Open Radar file"}));
  QCOMPARE(ShownX(window), QList<int>({0, 1}));
  QCOMPARE(window.esFilename->text(), path);
  QVERIFY(window.btExport->isEnabled());
  QCOMPARE(window.fsRadar.file, before.file);
  QCOMPARE(window.fsRadar.directory, before.directory);
}

void KestrolanLoadTest::LoadKeepsTheChosenSort() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.acList->horizontalHeader()->setSortIndicator(int(Column::kX), Qt::DescendingOrder);
  window.LoadRadarFile(Archive(QStringLiteral("radar.lzw"), RecordBytes({"a", "b", "c"})));
  QCOMPARE(ShownX(window), QList<int>({2, 1, 0}));
  QCOMPARE(window.acList->horizontalHeader()->sortIndicatorSection(), int(Column::kX));
}

void KestrolanLoadTest::CommandLineLoadLeavesSelectorUntouched() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(Archive(QStringLiteral("radar.lzw"), RecordBytes({"a"})));
  QCOMPARE(window.fsRadar.file, QString());
  QCOMPARE(prompts.shown, QStringList());
}

void KestrolanLoadTest::LoadKeepsColumnWidthsAndDraggedOrder() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QHeaderView* header = window.acList->horizontalHeader();
  header->moveSection(int(Column::kCity), 0);  // the user drags "City" to the front
  window.LoadRadarFile(Archive(QStringLiteral("radar.lzw"), RecordBytes({"a", "b"})));
  QCOMPARE(header->logicalIndex(0), int(Column::kCity));
  QCOMPARE(header->sectionSize(int(Column::kRoad)), 300);
  QCOMPARE(header->sectionSize(int(Column::kIndex)), 50);
}

QTEST_MAIN(KestrolanLoadTest)
#include "kestrolan_load_test.moc"
