#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/kestrolan.h"
#include "app/window_status.h"
#include "radardb/compare/compared_rows.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

namespace {

// The entries of `menu` as "text<TAB>keys" ("-" for a separator, "text >" for a submenu).
QStringList Entries(const QMenu& menu) {
  QStringList entries;
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      entries << QStringLiteral("-");
    } else if (action->menu() != nullptr) {
      entries << action->text() + QStringLiteral(" >");
    } else {
      const QString keys = action->shortcut().toString();
      entries << (keys.isEmpty() ? action->text() : action->text() + u'\t' + keys);
    }
  }
  return entries;
}

// A table of `rows` rows whose "#" counts from 0, cheaply: the texts are empty.
RecordTable NumberedRows(int rows) {
  RecordTable table;
  table.Reserve(static_cast<std::size_t>(rows), 0);
  RecordTable::Ints ints{};
  for (int row = 0; row < rows; ++row) {
    ints[static_cast<int>(Column::kIndex)] = row;
    table.Append(ints, {}, {}, {});
  }
  return table;
}

}  // namespace

// The window's commands in its menus, buttons and keys, and its status bar.
class WindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void MenusShowEveryCommandWithItsKey_data();
  void MenusShowEveryCommandWithItsKey();
  void ButtonMenuAndKeyReachOneAction_data();
  void ButtonMenuAndKeyReachOneAction();
  void ExportKeyWorksFromTheFilterField();
  void StatusFiguresAreNeverCut_data();
  void StatusFiguresAreNeverCut();
  void ControlsHaveNames();
};

void WindowCommandsTest::MenusShowEveryCommandWithItsKey_data() {
  QTest::addColumn<int>("menu");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QStringList>("entries");
  QTest::newRow("File") << 0 << "&File"
                        << QStringList{"&Load LZW\u2026\tCtrl+O",
                                       "Open &Recent >",
                                       "&Compare with\u2026\tCtrl+D",
                                       "Add Records &From\u2026",
                                       "Apply C&hanges From\u2026",
                                       "-",
                                       "&Save\tCtrl+S",
                                       "Save &As\u2026\tCtrl+Shift+S",
                                       "-",
                                       "&Export CSV\u2026\tCtrl+E",
                                       "Save &Map as PNG\u2026",
                                       "-",
                                       "E&xit\tCtrl+Q"};
  QTest::newRow("Edit") << 1 << "&Edit"
                        << QStringList{"&Undo\tCtrl+Z",     "&Redo\tCtrl+Shift+Z", "-",
                                       "&Copy\tCtrl+C",     "Select &All\tCtrl+A", "-",
                                       "&Delete Rows\tDel", "&Insert Row\tIns",    "-",
                                       "&Find\tCtrl+F"};
  QTest::newRow("View") << 2 << "&View"
                        << QStringList{"&Map	Ctrl+M", "&Zoom to Selection", "-", "&Columns >",
                                       "&Reset Columns"};
  QTest::newRow("Tools") << 3 << "&Tools"
                         << QStringList{"&Check Database", "Remove Exact &Duplicates"};
  QTest::newRow("Help") << 4 << "&Help"
                        << QStringList{"&Filter Language\tF1", "&Keyboard Shortcuts", "-",
                                       "&About Kestrolan"};
}

void WindowCommandsTest::MenusShowEveryCommandWithItsKey() {
  QFETCH(int, menu);
  QFETCH(QString, title);
  QFETCH(QStringList, entries);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  const QList<QAction*> menus = window.menuBar()->actions();
  QCOMPARE(menus.size(), 5);
  QCOMPARE(menus[menu]->text(), title);
  QCOMPARE(Entries(*menus[menu]->menu()), entries);
}

// One object per command: the button, the menu entry and the key all trigger it, and no copy of
// it or second shortcut for its key exists anywhere in the window.
void WindowCommandsTest::ButtonMenuAndKeyReachOneAction_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QStringList>("shown");  // what one use of the command asks
  QTest::newRow("Load") << "btLoad"
                        << "Ctrl+O" << QStringList{"open: Open Radar file"};
  QTest::newRow("Export") << "btExport"
                          << "Ctrl+E" << QStringList{"save: Save as"};
  QTest::newRow("Compare with, in the table's context menu too")
      << ""
      << "Ctrl+D" << QStringList{"open: Compare with"};
}

void WindowCommandsTest::ButtonMenuAndKeyReachOneAction() {
  QFETCH(QString, button);
  QFETCH(QString, keys);
  QFETCH(QStringList, shown);
  QTemporaryDir dir;
  const QString archive = dir.filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"A1"})));
  ScriptedPrompts prompts;
  for (int use = 0; use < 3; ++use) prompts.SetNextFileName(QString());  // each dialog cancelled
  Kestrolan window(prompts);
  window.LoadRadarFile(archive);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));

  QList<QAction*> withKeys;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->shortcut() == QKeySequence(keys)) withKeys << action;
  }
  QCOMPARE(withKeys.size(), 1);
  QAction* command = withKeys.first();
  for (const QShortcut* shortcut : window.findChildren<QShortcut*>()) {
    QVERIFY(shortcut->key() != QKeySequence(keys));
  }
  QVERIFY(window.Actions().All().contains(command));
  QSignalSpy triggered(command, &QAction::triggered);
  QTest::keySequence(&window, QKeySequence(keys));
  command->trigger();
  if (button.isEmpty()) {
    const QList<QAction*> context = window.acList->actions();
    QVERIFY(context.contains(command));
    context[context.indexOf(command)]->trigger();
  } else {
    window.findChild<QPushButton*>(button)->click();
  }
  QCOMPARE(triggered.count(), 3);
  QCOMPARE(prompts.shown, shown + shown + shown);
  QCOMPARE(prompts.unexpected, 0);
}

void WindowCommandsTest::ExportKeyWorksFromTheFilterField() {
  QTemporaryDir dir;
  const QString archive = dir.filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(archive, RecordBytes({"A1"})));
  ScriptedPrompts prompts;
  prompts.SetNextFileName(QString());
  Kestrolan window(prompts);
  window.LoadRadarFile(archive);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.esFilter->setFocus();
  QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_E, Qt::ControlModifier);
  QCoreApplication::sendEvent(window.esFilter, &override);
  QVERIFY(!override.isAccepted());
  // Under X11's key scheme the field takes Ctrl+E for itself (end of line), so the key reaches it
  // as a key press from the system, past the shortcuts.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_E, Qt::ControlModifier);
  QSpontaneKeyEvent::setSpontaneous(&press);
  QCoreApplication::instance()->notify(window.esFilter, &press);
  QCOMPARE(prompts.shown, QStringList({"save: Save as"}));
}

void WindowCommandsTest::StatusFiguresAreNeverCut_data() {
  QTest::addColumn<int>("wider");  // pixels beyond the first width
  QTest::newRow("first size") << 0;
  QTest::newRow("a larger one") << 400;
}

// A million rows filtered to six-figure counts, compared: the figures that were cut at their
// left edge when the count sat in a narrow label beside the filter.
void WindowCommandsTest::StatusFiguresAreNeverCut() {
  QFETCH(int, wider);
  constexpr int kRows = 1'000'000;
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.Model().SetRows(NumberedRows(kRows));
  DatabaseDiff diff;
  diff.newChanges.assign(kRows, RecordChange::kUnchanged);
  for (int row = 0; row < 694'300; row += 2) diff.newChanges[row] = RecordChange::kAdded;
  diff.counts = {.added = 347'150, .removed = 0, .moved = 0, .changed = 0, .unchanged = 652'850};
  window.Model().SetComparison(std::make_shared<const ComparedRows>(
      window.Model().SharedRows(), RecordTable(), std::move(diff)));
  window.esFilter->setText(QStringLiteral("#<694300"));
  QTRY_VERIFY(!window.Model().Filtering());
  window.show();
  window.resize(window.width() + wider, window.height());
  QTRY_COMPARE(window.lbCount->text(), QStringLiteral("694,300 of 1,000,000 records"));
  QCOMPARE(window.lbChanges->text(),
           QStringLiteral("347,150 added, 0 removed, 0 moved, 0 changed"));
  for (const QLabel* label : {window.lbCount, window.lbChanges}) {
    QTRY_VERIFY(label->isVisible());
    const QRect inWindow(label->mapTo(&window, QPoint(0, 0)), label->size());
    QVERIFY2(window.rect().contains(inWindow), qPrintable(label->text()));
    QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(label->text()),
             qPrintable(label->text()));
  }
}

void WindowCommandsTest::ControlsHaveNames() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  QCOMPARE(window.esFilename->accessibleName(), QStringLiteral("Loaded database"));
  QCOMPARE(window.esFilter->accessibleName(), QStringLiteral("Filter"));
  QCOMPARE(window.acList->accessibleName(), QStringLiteral("Records"));
  const QList<QToolButton*> clear = window.esFilter->findChildren<QToolButton*>();
  QCOMPARE(clear.size(), 1);
  QCOMPARE(clear.first()->accessibleName(), QStringLiteral("Clear filter"));
  QCOMPARE(window.btExport->toolTip(),
           QStringLiteral("Write the rows shown as a CSV file (Ctrl+E)"));
}

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"
