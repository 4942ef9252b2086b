#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/kestrolan.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// The window's Export: the name it offers, the file it writes in the table's order, its reports.
class KestrolanExportTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void OffersNameAfterPickedDatabase_data();
  void OffersNameAfterPickedDatabase();
  void OffersTheLoadedDatabasesName_data();
  void OffersTheLoadedDatabasesName();
  void WritesShownOrderAndSaysDone();
  void WritesFilteredRowsInShownOrderExactly();
  void RefusesToWriteOverTheLoadedArchive();
  void ReportsUncreatableFile();
  void CancelWritesNothing();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

void KestrolanExportTest::init() { dir_ = std::make_unique<QTemporaryDir>(); }

void KestrolanExportTest::OffersNameAfterPickedDatabase_data() {
  QTest::addColumn<QString>("picked");  // fsRadar's file
  QTest::addColumn<QString>("offered");

  QTest::newRow("extension replaced in the same folder")
      << "/data/maps/radar.lzw" << QDir::toNativeSeparators("/data/maps/radar.csv");
  QTest::newRow("two dots: only the last extension goes")
      << "/data/radar.2012.lzw" << QDir::toNativeSeparators("/data/radar.2012.csv");
  QTest::newRow("dot in the folder, none in the name: appended")
      << "/data/v1.2/radar" << QDir::toNativeSeparators("/data/v1.2/radar.csv");
  QTest::newRow("nothing picked or loaded: no name rather than a hidden \".csv\"") << ""
                                                                                   << "";
}

void KestrolanExportTest::OffersNameAfterPickedDatabase() {
  QFETCH(QString, picked);
  QFETCH(QString, offered);
  ScriptedPrompts prompts;
  prompts.SetNextFileName(QString());  // cancel the save dialog
  Kestrolan window(prompts);
  window.fsRadar.file = picked;
  window.ExportCsv();
  QCOMPARE(prompts.savePresets, QStringList({offered}));
  QCOMPARE(prompts.shown, QStringList({"save: Save as"}));
}

void KestrolanExportTest::OffersTheLoadedDatabasesName_data() {
  QTest::addColumn<QString>("how");  // how the database came
  QTest::newRow("command line") << "command line";
  QTest::newRow("dropped") << "drop";
  QTest::newRow("command line after another picked with Load") << "picked, then command line";
}

void KestrolanExportTest::OffersTheLoadedDatabasesName() {
  QFETCH(QString, how);
  const QString loaded = dir_->filePath(QStringLiteral("dangerz.lzw"));
  QVERIFY(WriteArchive(loaded, RecordBytes({"D1"})));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(QString());
  Kestrolan window(prompts);
  if (how.startsWith(QStringLiteral("picked"))) window.fsRadar.file = "/elsewhere/radar.lzw";
  if (how == QStringLiteral("drop")) {
    window.OpenDroppedFiles({QUrl::fromLocalFile(loaded)});
  } else {
    // As start-up hands it on: relative to the folder the program started in.
    const QString started = QDir::currentPath();
    QDir::setCurrent(dir_->path());
    window.LoadRadarFile(QStringLiteral("dangerz.lzw"));
    QDir::setCurrent(started);
  }
  window.ExportCsv();
  QCOMPARE(prompts.savePresets,
           QStringList({QDir::toNativeSeparators(dir_->filePath(QStringLiteral("dangerz.csv")))}));
}

void KestrolanExportTest::WritesShownOrderAndSaysDone() {
  const QString archive = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"B2", "C3", "A1"})));
  const QString csv = dir_->filePath(QStringLiteral("out.csv"));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(csv);
  Kestrolan window(prompts);
  window.LoadRadarFile(archive);
  window.acList->horizontalHeader()->setSortIndicator(int(Column::kRoad), Qt::AscendingOrder);
  window.btExport->click();
  QCOMPARE(prompts.shown,
           QStringList({"save: Save as", "info: Done.", "details: 3 records written to " + csv}));
  QFile file(csv);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  QCOMPARE(lines.size(), 5);  // header, three rows, nothing after the last line end
  QVERIFY(lines[1].contains(",A1,"));
  QVERIFY(lines[2].contains(",B2,"));
  QVERIFY(lines[3].contains(",C3,"));
  QCOMPARE(window.fsCsv.file, csv);
}

void KestrolanExportTest::WritesFilteredRowsInShownOrderExactly() {
  const QString archive = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"B2", "C3", "A1", "A4"})));
  const QString csv = dir_->filePath(QStringLiteral("out.csv"));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(csv);
  Kestrolan window(prompts);
  window.LoadRadarFile(archive);
  window.acList->horizontalHeader()->setSortIndicator(int(Column::kRoad), Qt::DescendingOrder);
  window.esFilter->setText(QStringLiteral("a"));
  QTRY_COMPARE(window.lbCount->text(), QStringLiteral("2 of 4 records"));
  window.btExport->click();
  QCOMPARE(prompts.shown,
           QStringList({"save: Save as", "info: Done.", "details: 2 records written to " + csv}));
  QFile file(csv);
  QVERIFY(file.open(QIODevice::ReadOnly));
  // Same header and same line bytes as an export of every row; X tells the records apart.
  QCOMPARE(file.readAll(),
           QByteArray("CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n"
                      "3,0,0,0,0,3,0,0,0,0,-180,,A4,\r\n"
                      "2,0,0,0,0,2,0,0,0,0,-180,,A1,\r\n"));
}

// Fault caught: Export pointed at the loaded archive (by another spelling of its path) replacing
// the database with its own CSV.
void KestrolanExportTest::RefusesToWriteOverTheLoadedArchive() {
  const QString archive = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"A1"})));
  QFile original(archive);
  QVERIFY(original.open(QIODevice::ReadOnly));
  const QByteArray before = original.readAll();
  original.close();
  const QString spelling = dir_->path() + QStringLiteral("/./radar.lzw");
  ScriptedPrompts prompts;
  prompts.SetNextFileName(spelling);
  Kestrolan window(prompts);
  window.LoadRadarFile(archive);
  window.ExportCsv();
  QCOMPARE(prompts.shown,
           QStringList({"save: Save as", "info: Error creating file " + spelling,
                        "details: It is a database the window shows; choose another name."}));
  QVERIFY(original.open(QIODevice::ReadOnly));
  QCOMPARE(original.readAll(), before);
}

void KestrolanExportTest::ReportsUncreatableFile() {
  const QString csv = dir_->filePath(QStringLiteral("missing-folder/out.csv"));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(csv);
  Kestrolan window(prompts);
  window.ExportCsv();
  QCOMPARE(prompts.shown, QStringList({"save: Save as", "info: Error creating file " + csv}));
  QVERIFY(!QFile::exists(csv));
}

void KestrolanExportTest::CancelWritesNothing() {
  ScriptedPrompts prompts;
  prompts.SetNextFileName(QString());
  Kestrolan window(prompts);
  window.fsRadar.file = dir_->filePath(QStringLiteral("radar.lzw"));
  window.ExportCsv();
  QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList());
  QCOMPARE(prompts.shown, QStringList({"save: Save as"}));
}

QTEST_MAIN(KestrolanExportTest)
#include "kestrolan_export_test.moc"
