#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/kestrolan.h"
#include "app/record_editor.h"
#include "radardb/records/load_database.h"
#include "radardb/records/radar_record.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;
using SaveChoice = Prompts::SaveChoice;

Q_DECLARE_METATYPE(SaveChoice)

// Editing in the window: cells, rows, undo, Save, and the question before changes are lost.
class KestrolanEditTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void F2EditsTheCurrentCell();
  void RefusedValueLeavesTheCellAndSaysWhy_data();
  void RefusedValueLeavesTheCellAndSaysWhy();
  void RowsGoAndComeBackWithUndo();
  void SelectAllOnAFilteredTableRemovesTheRowsShown();
  void RemovingExactDuplicatesKeepsTheFirstOfEach();
  void SaveWritesTheEditsAndClearsTheMark();
  void EveryWayOutAsksFirst_data();
  void EveryWayOutAsksFirst();
  void SaveAsksBeforeOverwritingAFileChangedOnDisk_data();
  void SaveAsksBeforeOverwritingAFileChangedOnDisk();
  void SaveOfADatabaseGoneFromDiskWritesTheRowsShown();

 private:
  // The window with radar.lzw of three records loaded.
  void Load(Kestrolan& window);
  QString Cell(const Kestrolan& window, int row, Column column) const;
  // Sets the cell as the view's editor does when the user has typed `text`.
  void Type(Kestrolan& window, int row, Column column, const QString& text);

  std::unique_ptr<QTemporaryDir> dir_;
  QString path_;
};

void KestrolanEditTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  path_ = dir_->filePath(QStringLiteral("radar.lzw"));
  QVERIFY(WriteArchive(path_, RecordBytes({"A1", "B 2", "C3"})));
}

void KestrolanEditTest::Load(Kestrolan& window) {
  window.LoadRadarFile(path_);
  QCOMPARE(window.Model().rowCount(), 3);
}

QString KestrolanEditTest::Cell(const Kestrolan& window, int row, Column column) const {
  const RecordTableModel& model = window.Model();
  return model.data(model.index(row, static_cast<int>(column))).toString();
}

void KestrolanEditTest::Type(Kestrolan& window, int row, Column column, const QString& text) {
  RecordTableModel& model = window.Model();
  model.setData(model.index(row, static_cast<int>(column)), text);
}

void KestrolanEditTest::F2EditsTheCurrentCell() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  const QModelIndex cell = window.Model().index(1, static_cast<int>(Column::kRoad));
  window.acList->setCurrentIndex(cell);
  window.acList->setFocus();
  QTest::keyClick(window.acList, Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);

  QCOMPARE(editor->text(), QStringLiteral("B 2"));
  // Keys that edit text stay the editor's, not the table's commands.
  editor->setCursorPosition(0);
  QTest::keyClick(editor, Qt::Key_Delete);
  QTest::keyClick(editor, Qt::Key_Insert);
  QCOMPARE(window.Model().rowCount(), 3);
  QCOMPARE(editor->text(), QStringLiteral(" 2"));
  editor->setText(QStringLiteral("B 22"));
  QTest::keyClick(editor, Qt::Key_Return);
  // The delegate commits from the event loop.
  QTRY_COMPARE(Cell(window, 1, Column::kRoad), QStringLiteral("B 22"));
  QVERIFY(window.isWindowModified());
  QCOMPARE(window.windowTitle(), KestrolanTitle() + QStringLiteral(" - radar.lzw[*]"));
  QVERIFY(window.lbEdited->isVisible());
  QVERIFY(window.Actions().save->isEnabled());
  QCOMPARE(window.Actions().undo->text(), QStringLiteral("&Undo Edit Road"));
  // In the table itself Delete is the command's; the next row's cell in the column becomes current.
  window.acList->setFocus();
  QTest::keyClick(window.acList, Qt::Key_Delete);
  QCOMPARE(window.Model().rowCount(), 2);
  QCOMPARE(window.acList->currentIndex(), window.Model().index(1, int(Column::kRoad)));
  QCOMPARE(prompts.unexpected, 0);
}

void KestrolanEditTest::RefusedValueLeavesTheCellAndSaysWhy_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("reason");
  QTest::newRow("speed limit past its 8 bits") << int(Column::kSpd) << "700"
                                               << "spd must be a whole number from 0 to 255";
  QTest::newRow("text wider than its field")
      << int(Column::kSpeed) << QString(41, u'9')
      << "Speed holds at most 40 bytes besides its ending zero; this text needs 41";
}

void KestrolanEditTest::RefusedValueLeavesTheCellAndSaysWhy() {
  QFETCH(int, column);
  QFETCH(QString, typed);
  QFETCH(QString, reason);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  const QString before = Cell(window, 0, static_cast<Column>(column));
  Type(window, 0, static_cast<Column>(column), typed);
  QCOMPARE(Cell(window, 0, static_cast<Column>(column)), before);
  QCOMPARE(window.statusBar()->currentMessage(), "Not changed: " + reason);
  QVERIFY(!window.isWindowModified());
  QVERIFY(!window.Actions().undo->isEnabled());
}

void KestrolanEditTest::RowsGoAndComeBackWithUndo() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  const WindowActions& a = window.Actions();
  window.acList->selectRow(0);
  window.acList->selectionModel()->select(window.Model().index(2, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
  a.deleteRows->trigger();
  QCOMPARE(window.Model().rowCount(), 1);
  QCOMPARE(Cell(window, 0, Column::kRoad), QStringLiteral("B 2"));
  a.undo->trigger();
  QCOMPARE(window.Model().rowCount(), 3);
  QCOMPARE(Cell(window, 2, Column::kRoad), QStringLiteral("C3"));
  QVERIFY(!window.isWindowModified());
  a.redo->trigger();
  QCOMPARE(window.Model().rowCount(), 1);
  a.undo->trigger();

  // Insert puts a copy after the current row, numbered after the last record.
  window.acList->selectRow(1);
  a.insertRow->trigger();
  QCOMPARE(window.Model().rowCount(), 4);
  QCOMPARE(Cell(window, 2, Column::kRoad), QStringLiteral("B 2"));
  QCOMPARE(Cell(window, 2, Column::kIndex), QStringLiteral("3"));
  QCOMPARE(window.acList->currentIndex().row(), 2);
  a.undo->trigger();
  QCOMPARE(window.Model().rowCount(), 3);
  QCOMPARE(Cell(window, 2, Column::kRoad), QStringLiteral("C3"));
}

void KestrolanEditTest::SelectAllOnAFilteredTableRemovesTheRowsShown() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  window.esFilter->setText(QStringLiteral("-road:B"));
  QTRY_COMPARE(window.Model().rowCount(), 2);
  window.Actions().selectAll->trigger();
  window.Actions().deleteRows->trigger();
  QCOMPARE(window.Model().TotalRows(), std::size_t{1});
  window.esFilter->clear();
  QTRY_COMPARE(window.Model().rowCount(), 1);
  QCOMPARE(Cell(window, 0, Column::kRoad), QStringLiteral("B 2"));
}

void KestrolanEditTest::RemovingExactDuplicatesKeepsTheFirstOfEach() {
  // RecordBytes gives each record its index as X: these copies differ from their first in X only.
  std::string expanded = RecordBytes({"A", "B", "A", "B"});
  const std::string first = expanded.substr(0, kRadarRecordSize);
  expanded += first + first + expanded.substr(kRadarRecordSize, kRadarRecordSize);
  QVERIFY(WriteArchive(path_, expanded));
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  window.LoadRadarFile(path_);
  window.Actions().removeDuplicates->trigger();
  // Records 4 and 5 repeat record 0, record 6 repeats record 1; 2 and 3 lie elsewhere.
  QCOMPARE(window.Model().rowCount(), 4);
  QStringList kept;
  for (int row = 0; row < 4; ++row) kept << Cell(window, row, Column::kIndex);
  QCOMPARE(kept, QStringList({"0", "1", "2", "3"}));
  QCOMPARE(window.statusBar()->currentMessage(),
           QStringLiteral("Removed 3 exact duplicates; Undo brings them back."));
  window.Actions().undo->trigger();
  QCOMPARE(window.Model().rowCount(), 7);
  window.Actions().redo->trigger();
  window.Actions().removeDuplicates->trigger();
  QCOMPARE(prompts.shown, QStringList({"info: No record equals an earlier one."}));
}

void KestrolanEditTest::SaveWritesTheEditsAndClearsTheMark() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  Type(window, 2, Column::kSpd, QStringLiteral("70"));
  window.acList->selectRow(0);
  window.Actions().deleteRows->trigger();
  QVERIFY(window.Save());
  QVERIFY(!window.isWindowModified());
  QVERIFY(!window.Actions().undo->isEnabled());
  // "#" counts the records of the file saved.
  QCOMPARE(Cell(window, 1, Column::kIndex), QStringLiteral("1"));
  const LoadOutcome saved = LoadDatabase(path_.toStdString());
  QCOMPARE(saved.rows.size(), std::size_t{2});
  QCOMPARE(saved.rows.Int(1, Column::kSpd), 70);
  QCOMPARE(saved.rows.Text(0, Column::kRoad), std::string_view("B 2"));
  QCOMPARE(prompts.shown, QStringList());
}

// How the window is left or its table replaced.
enum class WayOut { kLoad, kDrop, kCompare, kExit, kClose };
Q_DECLARE_METATYPE(WayOut)

void KestrolanEditTest::EveryWayOutAsksFirst_data() {
  QTest::addColumn<WayOut>("way");
  QTest::addColumn<SaveChoice>("choice");
  QTest::addColumn<bool>("goesOn");
  const std::pair<const char*, WayOut> ways[] = {{"Load", WayOut::kLoad},
                                                 {"drop", WayOut::kDrop},
                                                 {"Compare with", WayOut::kCompare},
                                                 {"Exit", WayOut::kExit},
                                                 {"close", WayOut::kClose}};
  for (const auto& [name, way] : ways) {
    QTest::addRow("%s, cancelled", name) << way << SaveChoice::kCancel << false;
    QTest::addRow("%s, discarded", name) << way << SaveChoice::kDiscard << true;
    QTest::addRow("%s, saved", name) << way << SaveChoice::kSave << true;
  }
}

void KestrolanEditTest::EveryWayOutAsksFirst() {
  QFETCH(WayOut, way);
  QFETCH(SaveChoice, choice);
  QFETCH(bool, goesOn);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  Type(window, 0, Column::kRoad, QStringLiteral("Z9"));
  prompts.SetNextSaveChoice(choice);
  const QString other = dir_->filePath(QStringLiteral("dangerz.lzw"));
  QVERIFY(WriteArchive(other, RecordBytes({"D"})));
  switch (way) {
    case WayOut::kLoad:
      window.LoadRadarFile(other);
      break;
    case WayOut::kDrop:
      window.OpenDroppedFiles({QUrl::fromLocalFile(other)});
      break;
    case WayOut::kCompare:
      prompts.SetNextFileName(QString());
      window.CompareWith();
      break;
    case WayOut::kExit:
      window.ExitProgram();
      break;
    case WayOut::kClose:
      window.close();
      break;
  }
  QCOMPARE(prompts.shown.value(0), QStringLiteral("savediscard: Save changes to radar.lzw?"));
  QCOMPARE(prompts.unexpected, 0);
  const bool replaced = way == WayOut::kLoad || way == WayOut::kDrop;
  QCOMPARE(window.Model().rowCount(), goesOn && replaced ? 1 : 3);
  if (way == WayOut::kClose) QCOMPARE(window.isVisible(), !goesOn);
  if (way == WayOut::kCompare) QCOMPARE(prompts.shown.size(), goesOn ? 2 : 1);
  const LoadOutcome onDisk = LoadDatabase(path_.toStdString());
  QCOMPARE(onDisk.rows.Text(0, Column::kRoad),
           std::string_view(choice == SaveChoice::kSave ? "Z9" : "A1"));
}

void KestrolanEditTest::SaveAsksBeforeOverwritingAFileChangedOnDisk_data() {
  QTest::addColumn<bool>("overwrite");
  QTest::newRow("kept") << false;
  QTest::newRow("overwritten") << true;
}

void KestrolanEditTest::SaveAsksBeforeOverwritingAFileChangedOnDisk() {
  QFETCH(bool, overwrite);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  Type(window, 1, Column::kRoad, QStringLiteral("B 3"));
  // Someone else writes a database of their own there.
  QVERIFY(WriteArchive(path_, RecordBytes({"other", "records"})));
  prompts.SetNextAnswer(overwrite);  // overwrite it?
  prompts.SetNextAnswer(true);       // write the rows as shown?
  QCOMPARE(window.Save(), overwrite);
  QVERIFY(prompts.shown.value(0).startsWith(QStringLiteral("yesno: ")));
  QVERIFY(prompts.shown.value(0).endsWith(
      QStringLiteral("radar.lzw has changed on disk since it was loaded. Overwrite it?")));
  const LoadOutcome onDisk = LoadDatabase(path_.toStdString());
  QCOMPARE(onDisk.rows.size(), std::size_t{overwrite ? 3u : 2u});
  QCOMPARE(onDisk.rows.Text(1, Column::kRoad), std::string_view(overwrite ? "B 3" : "records"));
  QCOMPARE(window.isWindowModified(), !overwrite);
}

void KestrolanEditTest::SaveOfADatabaseGoneFromDiskWritesTheRowsShown() {
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  Type(window, 0, Column::kRoad, QStringLiteral("A0"));
  QVERIFY(QFile::remove(path_));
  prompts.SetNextAnswer(true);  // write the rows as shown?
  QVERIFY(window.Save());
  QCOMPARE(prompts.shown.size(), 1);
  QVERIFY(prompts.shown.front().contains(QStringLiteral("no longer holds the records")));
  const LoadOutcome onDisk = LoadDatabase(path_.toStdString());
  QCOMPARE(onDisk.rows.size(), std::size_t{3});
  QCOMPARE(onDisk.rows.Text(0, Column::kRoad), std::string_view("A0"));
  QCOMPARE(onDisk.rows.Text(2, Column::kRoad), std::string_view("C3"));
}

QTEST_MAIN(KestrolanEditTest)
#include "kestrolan_edit_test.moc"
