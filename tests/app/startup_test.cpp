#include "app/startup.h"

#include <QTest>

#include "app/command_line.h"

// The command-line walk: which arguments are loaded, in what order, and when the update is
// offered.
class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void WalksArguments_data();
  void WalksArguments();
  void AsksForUsageOrVersion_data();
  void AsksForUsageOrVersion();
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
  QTest::newRow("an unknown option is a path, as before")
      << QStringList{"-x"} << true << QStringList{"load:-x"} << true;
  QTest::newRow("-- loads what follows, switch and options included, and offers nothing")
      << QStringList{"a.lzw", "--", "-nocheck", "--help", "--"} << true
      << QStringList{"load:a.lzw", "load:-nocheck", "load:--help", "load:--"} << true;
  QTest::newRow("a lone -- is an argument: no offer")
      << QStringList{"--"} << false << QStringList() << true;
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

void StartupTest::AsksForUsageOrVersion_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<int>("request");
  QTest::newRow("--help loaded as a database")
      << QStringList{"radar.lzw", "--help"} << int(CommandLine::Request::kPrintUsage);
  QTest::newRow("-h loaded as a database")
      << QStringList{"-h"} << int(CommandLine::Request::kPrintUsage);
  QTest::newRow("--version loaded as a database")
      << QStringList{"--version", "--help"} << int(CommandLine::Request::kPrintVersion);
  QTest::newRow("a path after -- asked for help")
      << QStringList{"--", "--help"} << int(CommandLine::Request::kRunWindow);
  QTest::newRow("the switch spelt otherwise asked for help")
      << QStringList{"-help", "-H", "--HELP"} << int(CommandLine::Request::kRunWindow);
}

void StartupTest::AsksForUsageOrVersion() {
  QFETCH(QStringList, arguments);
  QFETCH(int, request);
  const CommandLine line = ParseCommandLine(arguments);
  QCOMPARE(int(line.request), request);
  if (line.request != CommandLine::Request::kRunWindow) QCOMPARE(line.databases, QStringList());
  QVERIFY(UsageText().contains(QStringLiteral("--version")));
  QCOMPARE(VersionText(), QStringLiteral("Kestrolan v01.01 (02/09/2012)\n"));
}

QTEST_APPLESS_MAIN(StartupTest)
#include "startup_test.moc"
