#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/anchor_layout.h"
#include "app/kestrolan.h"
#include "app/record_table_view.h"
#include "app/startup.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// The window as constructed, its layout when enlarged, and the ways its loop ends.
class KestrolanWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void HasTitleObjectNamesAndStartState();
  void TableHasColumnsOfFixedWidth_data();
  void TableHasColumnsOfFixedWidth();
  void TableHeaderIsTallMovableAndUnsorted();
  void IconIsOpaque64Square();
  void FirstSizeIsDesignSizeAndMinimum();
  void SizeFollowsTheGuiFont();
  void ControlsFollowTheirAnchors_data();
  void ControlsFollowTheirAnchors();
  void FilterSitsBetweenExportAndExit();
  void TabKeepsTheFourInOrderWithFilterBeforeExit();
  void CannotShrinkBelowFirstSize();
  void ExitEndsLoopWith9999();
  void CloseButtonEndsLoopWithoutQuestion();
  void CheckUpdateAsksAndDeclineGoesOn();
  void StartOffersUpdateOnlyWhenBuiltWithIt_data();
  void StartOffersUpdateOnlyWhenBuiltWithIt();
};

void KestrolanWindowTest::HasTitleObjectNamesAndStartState() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QCOMPARE(window.windowTitle(), QStringLiteral("Kestrolan - v01.01 - 02/09/2012 - by Tolvenqar"));
  QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("KestrolanLayout"));
  const QStringList names = {"btLoad", "esFilename", "acList", "btExport", "btExit"};
  for (const QString& name : names) QVERIFY2(window.findChild<QWidget*>(name), qPrintable(name));
  QCOMPARE(window.btLoad->text(), QStringLiteral("Load LZW"));
  QCOMPARE(window.btExport->text(), QStringLiteral("Export CSV"));
  QCOMPARE(window.btExit->text(), QStringLiteral("Exit"));
  QVERIFY(!window.btExport->isEnabled());
  QVERIFY(window.btLoad->isEnabled());
  QVERIFY(window.btExit->isEnabled());
  QVERIFY(window.esFilename->isReadOnly());
  QCOMPARE(window.esFilename->focusPolicy(), Qt::NoFocus);
  QCOMPARE(window.esFilename->text(), QString());
  QCOMPARE(window.acList->model()->rowCount(), 0);
  QVERIFY(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  QVERIFY(!window.isVisible());
  QCOMPARE(window.fsRadar.types.size(), 2);
  QCOMPARE(window.fsRadar.types[0].name, QStringLiteral("Radar file"));
  QCOMPARE(window.fsRadar.types[0].patterns, QStringList({"radar.lzw", "dangerz.lzw"}));
  QCOMPARE(window.fsRadar.types[1].name, QStringLiteral("All files"));
  QCOMPARE(window.fsCsv.types[0].name, QStringLiteral("CSV file"));
  QCOMPARE(window.fsCsv.types[0].patterns, QStringList({"*.csv"}));
  QCOMPARE(window.fsCsv.types[1].name, QStringLiteral("All files"));
}

void KestrolanWindowTest::TableHasColumnsOfFixedWidth_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<QString>("header");
  QTest::addColumn<int>("width");
  const QList<QPair<QString, int>> columns = {
      {"#", 50},   {"CoordX", 80}, {"CoordY", 80}, {"SS", 40},    {"MS", 40},
      {"LS", 40},  {"X", 80},      {"Y", 80},      {"sc", 40},    {"mph", 40},
      {"spd", 40}, {"dir", 40},    {"Speed", 100}, {"Road", 300}, {"City", 150}};
  for (int c = 0; c < columns.size(); ++c) {
    QTest::newRow(qPrintable(columns[c].first)) << c << columns[c].first << columns[c].second;
  }
}

void KestrolanWindowTest::TableHasColumnsOfFixedWidth() {
  QFETCH(int, column);
  QFETCH(QString, header);
  QFETCH(int, width);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.show();
  QCOMPARE(window.acList->model()->columnCount(), 15);
  QCOMPARE(window.acList->model()->headerData(column, Qt::Horizontal).toString(), header);
  QCOMPARE(window.acList->horizontalHeader()->sectionSize(column), width);
  // Shown on screen the widths stay, unstretched.
  window.resize(2000, 800);
  QTRY_COMPARE(window.width(), 2000);
  QCOMPARE(window.acList->horizontalHeader()->sectionSize(column), width);
}

void KestrolanWindowTest::TableHeaderIsTallMovableAndUnsorted() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.show();
  const QHeaderView* header = window.acList->horizontalHeader();
  QVERIFY(header->height() >= kMinimumHeaderHeight);
  QVERIFY(header->sectionsMovable());
  QVERIFY(window.acList->isSortingEnabled());
  QCOMPARE(header->sortIndicatorSection(), -1);
  QVERIFY(!window.acList->verticalHeader()->isVisible());
  // The columns' 1200 pixels do not fit the first size: the table scrolls sideways.
  QVERIFY(header->length() > window.acList->viewport()->width());
  QVERIFY(window.acList->horizontalScrollBar()->maximum() > 0);
}

void KestrolanWindowTest::IconIsOpaque64Square() {
  const QImage icon(QStringLiteral(":/KestrolanImg/Icon"));
  QCOMPARE(icon.size(), QSize(64, 64));
  const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
  int transparent = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) transparent += qAlpha(argb.pixel(x, y)) != 255;
  }
  QCOMPARE(transparent, 0);
  QCOMPARE(argb.pixel(0, 0), qRgb(0, 0, 0));         // black frame
  QCOMPARE(argb.pixel(3, 60), qRgb(255, 255, 255));  // white square inside it
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QVERIFY(!window.windowIcon().isNull());
}

void KestrolanWindowTest::FirstSizeIsDesignSizeAndMinimum() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  const double zoom = LayoutZoom(window.font());
  const QSize design(qRound(752 * zoom), qRound(392 * zoom));
  QCOMPARE(window.centralWidget()->minimumSize(), design);
  window.show();
  QTRY_COMPARE(window.centralWidget()->size(), design);
  // The menu bar above the layout and the status bar below it add only their height.
  QCOMPARE(window.width(), design.width());
  QCOMPARE(window.minimumSize(), window.size());
}

void KestrolanWindowTest::SizeFollowsTheGuiFont() {
  const QFont original = QApplication::font();
  ScriptedPrompts prompts;
  QFont small = original;
  small.setPixelSize(10);
  QApplication::setFont(small);
  const QSize smallSize = Kestrolan(prompts).centralWidget()->size();
  QFont large = original;
  large.setPixelSize(20);
  QApplication::setFont(large);
  const QSize largeSize = Kestrolan(prompts).centralWidget()->size();
  QApplication::setFont(original);
  const double ratio = QFontMetricsF(large).height() / QFontMetricsF(small).height();
  QVERIFY2(qAbs(largeSize.width() - smallSize.width() * ratio) <= 2,
           qPrintable(QString::number(ratio)));
  QVERIFY(qAbs(largeSize.height() - smallSize.height() * ratio) <= 2);
  QVERIFY(largeSize.width() > smallSize.width());
}

void KestrolanWindowTest::ControlsFollowTheirAnchors_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("shift");  // change of x, y, width, height when 100 wider, 60 higher
  QTest::newRow("btLoad stays top left, same size") << "btLoad" << QRect(0, 0, 0, 0);
  QTest::newRow("esFilename widens") << "esFilename" << QRect(0, 0, 100, 0);
  QTest::newRow("acList widens and grows down") << "acList" << QRect(0, 0, 100, 60);
  QTest::newRow("btExport stays bottom left") << "btExport" << QRect(0, 60, 0, 0);
  QTest::newRow("btExit stays bottom right") << "btExit" << QRect(100, 60, 0, 0);
  QTest::newRow("esFilter widens in the bottom row") << "esFilter" << QRect(0, 60, 100, 0);
}

void KestrolanWindowTest::FilterSitsBetweenExportAndExit() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.show();
  QTRY_VERIFY(window.esFilter->isVisible());
  const QRect exportButton = window.btExport->geometry();
  const QRect filter = window.esFilter->geometry();
  const QRect exit = window.btExit->geometry();
  // The whole room between the buttons, 12 units from each, now that the count is below.
  const int units112 = qRound(112 * LayoutZoom(window.font()));
  QCOMPARE(filter.left(), units112);
  QCOMPARE(window.centralWidget()->width() - filter.right() - 1, units112);
  QVERIFY(exportButton.right() < filter.left());
  QVERIFY(filter.right() < exit.left());
  QCOMPARE(filter.top(), exportButton.top());
  QCOMPARE(filter.height(), exportButton.height());
  QVERIFY(window.statusBar()->isAncestorOf(window.lbCount));
  QCOMPARE(window.lbCount->text(), QStringLiteral("0 records"));
}

void KestrolanWindowTest::TabKeepsTheFourInOrderWithFilterBeforeExit() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QStringList order;
  QWidget* widget = window.btLoad;
  do {
    const bool central = window.centralWidget()->isAncestorOf(widget);
    if (central && widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != window.btLoad);
  QCOMPARE(order, QStringList({"btLoad", "acList", "btExport", "esFilter", "btExit"}));
}

void KestrolanWindowTest::ControlsFollowTheirAnchors() {
  QFETCH(QString, name);
  QFETCH(QRect, shift);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.show();
  const QSize first = window.size();
  QWidget* control = window.findChild<QWidget*>(name);
  QTRY_VERIFY(control->isVisible());
  const QRect before = control->geometry();
  window.resize(first + QSize(100, 60));
  QTRY_COMPARE(window.size(), first + QSize(100, 60));
  const QRect after = control->geometry();
  QCOMPARE(after.x() - before.x(), shift.x());
  QCOMPARE(after.y() - before.y(), shift.y());
  QCOMPARE(after.width() - before.width(), shift.width());
  QCOMPARE(after.height() - before.height(), shift.height());
}

void KestrolanWindowTest::CannotShrinkBelowFirstSize() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.show();
  const QSize first = window.size();
  window.resize(first / 2);
  QCOMPARE(window.size(), first);
}

void KestrolanWindowTest::ExitEndsLoopWith9999() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  bool shownWhileRunning = false;
  QTimer::singleShot(0, &window, [&] {
    shownWhileRunning = window.isVisible();
    window.btExit->click();
  });
  QCOMPARE(window.Run(), 9999);
  QVERIFY(shownWhileRunning);
  QVERIFY(!window.isVisible());
  QCOMPARE(prompts.shown, QStringList());
}

void KestrolanWindowTest::CloseButtonEndsLoopWithoutQuestion() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QTimer::singleShot(0, &window, [&] { window.close(); });
  QCOMPARE(window.Run(), 0);
  QVERIFY(!window.isVisible());
  QCOMPARE(prompts.shown, QStringList());
  QCOMPARE(prompts.unexpected, 0);
}

void KestrolanWindowTest::CheckUpdateAsksAndDeclineGoesOn() {
  ScriptedPrompts prompts;
  prompts.SetNextAnswer(false);
  Kestrolan window(prompts);
  QCOMPARE(window.CheckUpdate(), false);
  QCOMPARE(prompts.shown, QStringList({"yesno: Check for program updates ?"}));
  QCOMPARE(prompts.unexpected, 0);
}

// The program's start-up on a real window, with the build's update-check switch injected.
void KestrolanWindowTest::StartOffersUpdateOnlyWhenBuiltWithIt_data() {
  QTest::addColumn<bool>("offerUpdate");
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("shown");

  QTest::newRow("built without: no argument opens the window asking nothing")
      << false << QStringList() << QStringList();
  QTest::newRow("built without: a named database is still loaded")
      << false << QStringList{"no-such-folder/radar.lzw"}
      << QStringList{"info: LZW file not found", "details: no-such-folder/radar.lzw"};
  QTest::newRow("built with: no argument asks first")
      << true << QStringList() << QStringList{"yesno: Check for program updates ?"};
}

void KestrolanWindowTest::StartOffersUpdateOnlyWhenBuiltWithIt() {
  QFETCH(bool, offerUpdate);
  QFETCH(QStringList, arguments);
  QFETCH(QStringList, shown);
  ScriptedPrompts prompts;
  if (offerUpdate) prompts.SetNextAnswer(false);
  Kestrolan window(prompts);
  QCOMPARE(StartWindow(window, arguments, offerUpdate), true);
  QCOMPARE(prompts.shown, shown);
  QCOMPARE(prompts.unexpected, 0);
}

QTEST_MAIN(KestrolanWindowTest)
#include "kestrolan_window_test.moc"
