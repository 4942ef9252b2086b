#include "app/startup.h"

#include <QTest>

// The command-line walk: which arguments are loaded, in what order, and when the update is
// offered.
class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void WalksArguments_data();
  void WalksArguments();
};

void StartupTest::WalksArguments_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<bool>("updateInstalled");  // what the update offer returns, if made
  QTest::addColumn<QStringList>("calls");     // "load:PATH" and "check", in order
  QTest::addColumn<bool>("runWindow");

  QTest::newRow("no argument: update offered, window runs")
      << QStringList() << false << QStringList{"check"} << true;
  QTest::newRow("no argument, update installed: window never runs")
      << QStringList() << true << QStringList{"check"} << false;
  QTest::newRow("only -nocheck: no offer, no load")
      << QStringList{"-nocheck"} << true << QStringList() << true;
  QTest::newRow("path then -nocheck: path loaded, switch skipped")
      << QStringList{"/d/radar.lzw", "-nocheck"} << true << QStringList{"load:/d/radar.lzw"}
      << true;
  QTest::newRow("two paths loaded in command-line order")
      << QStringList{"b/dangerz.lzw", "a/radar.lzw"} << true
      << QStringList{"load:b/dangerz.lzw", "load:a/radar.lzw"} << true;
  QTest::newRow("switch in capitals is a path")
      << QStringList{"-NOCHECK"} << true << QStringList{"load:-NOCHECK"} << true;
  QTest::newRow("switch with a slash is a path")
      << QStringList{"/nocheck"} << true << QStringList{"load:/nocheck"} << true;
  QTest::newRow("switch with something appended is a path")
      << QStringList{"-nocheck2", "-nocheck "} << true
      << QStringList{"load:-nocheck2", "load:-nocheck "} << true;
  QTest::newRow("empty argument handed on as an empty path")
      << QStringList{""} << true << QStringList{"load:"} << true;
  QTest::newRow("repeated path loaded twice") << QStringList{"r.lzw", "-nocheck", "r.lzw"} << true
                                              << QStringList{"load:r.lzw", "load:r.lzw"} << true;
}

void StartupTest::WalksArguments() {
  QFETCH(QStringList, arguments);
  QFETCH(bool, updateInstalled);
  QFETCH(QStringList, calls);
  QFETCH(bool, runWindow);
  QStringList made;
  const StartupActions actions{
      [&made](QString path) { made << "load:" + path; },
      [&made, updateInstalled] {
        made << "check";
        return updateInstalled;
      },
  };
  QCOMPARE(WalkArguments(arguments, actions), runWindow);
  QCOMPARE(made, calls);
}

QTEST_APPLESS_MAIN(StartupTest)
#include "startup_test.moc"
