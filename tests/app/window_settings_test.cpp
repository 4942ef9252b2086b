#include "app/window_settings.h"

#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/kestrolan.h"
#include "app/map_window.h"
#include "app/recent_files.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

// What a window shows of the settings, to compare two windows by.
QStringList Shown(Kestrolan& window) {
  const QHeaderView& header = *window.acList->horizontalHeader();
  QStringList shown;
  for (int visual = 0; visual < header.count(); ++visual) {
    const int column = header.logicalIndex(visual);
    shown << QStringLiteral("%1:%2").arg(column).arg(
        header.isSectionHidden(column) ? QStringLiteral("hidden")
                                       : QString::number(header.sectionSize(column)));
  }
  shown << QStringLiteral("size %1x%2").arg(window.width()).arg(window.height());
  shown << QStringLiteral("map %1").arg(window.Map().isHidden() ? "closed" : "open");
  shown << QStringLiteral("load %1|%2|%3")
               .arg(window.fsRadar.directory, window.fsRadar.file, window.fsRadar.type);
  shown << QStringLiteral("png %1").arg(window.Map().fsPng.file);
  return shown + window.RecentFiles();
}

}  // namespace

// What the window keeps between runs: kept in full, and a damaged file costs only defaults.
class WindowSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void KeepsTheWindowAcrossRuns();
  void DamagedFileGivesDefaults_data();
  void DamagedFileGivesDefaults();
  void RecentFilesNewestFirst_data();
  void RecentFilesNewestFirst();

 private:
  QString SettingsPath() const { return dir_->filePath(QStringLiteral("Kestrolan.ini")); }

  std::unique_ptr<QTemporaryDir> dir_;
};

void WindowSettingsTest::initTestCase() {
  // Nothing here may reach the user's own settings, even by mistake.
  QStandardPaths::setTestModeEnabled(true);
}

void WindowSettingsTest::init() { dir_ = std::make_unique<QTemporaryDir>(); }

void WindowSettingsTest::KeepsTheWindowAcrossRuns() {
  const QString archive = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"A1"})));
  ScriptedPrompts prompts;
  QStringList first;
  {
    Kestrolan window(prompts);
    window.show();
    QHeaderView& header = *window.acList->horizontalHeader();
    header.moveSection(header.visualIndex(int(Column::kCity)), 0);
    header.resizeSection(int(Column::kX), 123);
    header.setSectionHidden(int(Column::kRoad), true);
    window.resize(window.size() + QSize(150, 90));
    QTRY_COMPARE(window.centralWidget()->width(), window.width());
    window.ShowMap();
    window.fsRadar.type = QStringLiteral("All files");
    window.Map().fsPng.file = dir_->filePath(QStringLiteral("north.png"));
    window.OpenRecentFile(archive);
    first = Shown(window);
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    SaveWindowSettings(window, settings);
  }
  QCOMPARE(first.filter(QStringLiteral("13:hidden")).size(), 1);
  Kestrolan again(prompts);
  QSettings settings(SettingsPath(), QSettings::IniFormat);
  RestoreWindowSettings(again, settings);
  again.show();
  QTRY_VERIFY(!again.Map().isHidden());
  QCOMPARE(Shown(again), first);
  QCOMPARE(again.RecentFiles(), QStringList({archive}));
  QCOMPARE(prompts.shown, QStringList());
}

void WindowSettingsTest::DamagedFileGivesDefaults_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::newRow("not a settings file at all") << QByteArray("\x00\xff\xfe[[[\n=\x01\n", 12);
  QTest::newRow("values of the wrong kind") << QByteArray(
      "[window]\ngeometry=12\nstate=@ByteArray(xyz)\n"
      "[columns]\norder=a,b\nwidths=-5,0,0\nhidden=99\n"
      "[recent]\nfiles=relative/radar.lzw\n"
      "[dialogs]\nradar\\type=Tiles\npng\\file\n");
  QTest::newRow("order that repeats a column, widths too wide, every column hidden") << QByteArray(
      "[columns]\norder=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\n"
      "widths=9999,9999,9999,9999,9999,9999,9999,9999,9999,9999,9999,9999,9999,"
      "9999,9999\nhidden=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14\n");
}

void WindowSettingsTest::DamagedFileGivesDefaults() {
  QFETCH(QByteArray, file);
  QFile damaged(SettingsPath());
  QVERIFY(damaged.open(QIODevice::WriteOnly));
  damaged.write(file);
  damaged.close();
  ScriptedPrompts prompts;
  Kestrolan untouched(prompts);
  Kestrolan window(prompts);
  QSettings settings(SettingsPath(), QSettings::IniFormat);
  RestoreWindowSettings(window, settings);
  QCOMPARE(Shown(window), Shown(untouched));
}

void WindowSettingsTest::RecentFilesNewestFirst_data() {
  QTest::addColumn<QStringList>("before");
  QTest::addColumn<QString>("opened");
  QTest::addColumn<QStringList>("after");
  QTest::newRow("new file not first") << QStringList{"/a/radar.lzw"} << "/b/radar.lzw"
                                      << QStringList{"/b/radar.lzw", "/a/radar.lzw"};
  QTest::newRow("opened again listed twice")
      << QStringList{"/a/radar.lzw", "/b/radar.lzw"} << "/b/radar.lzw"
      << QStringList{"/b/radar.lzw", "/a/radar.lzw"};
  QStringList ten;
  for (int i = 0; i < kMaxRecentFiles; ++i) ten << QStringLiteral("/%1/radar.lzw").arg(i);
  QTest::newRow("more than ten kept")
      << ten << "/new/radar.lzw" << QStringList{"/new/radar.lzw"} + ten.mid(0, 9);
}

void WindowSettingsTest::RecentFilesNewestFirst() {
  QFETCH(QStringList, before);
  QFETCH(QString, opened);
  QFETCH(QStringList, after);
  QCOMPARE(WithRecentFile(before, opened), after);
}

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
