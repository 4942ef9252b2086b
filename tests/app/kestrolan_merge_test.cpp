#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

#include "app/kestrolan.h"
#include "app/record_editor.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/compare/diff_report.h"
#include "radardb/records/load_database.h"
#include "radardb/records/radar_record.h"
#include "tests/app/window_archives.h"
#include "tests/support/scripted_prompts.h"

using namespace radardb;

// Another database's records added to the table, and a change list applied to it.
class KestrolanMergeTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void AddRecordsDropsAsChosenAndUndoes_data();
  void AddRecordsDropsAsChosenAndUndoes();
  void ApplyChangesSavesWhatPatchWritesAndUndoes();
  void ListThatDoesNotFitChangesNothing_data();
  void ListThatDoesNotFitChangesNothing();
  void NothingIsAskedWithoutEditableRows_data();
  void NothingIsAskedWithoutEditableRows();

 private:
  QString Path(const char* name) const { return dir_->filePath(QString::fromLatin1(name)); }
  // The archive's records, expanded.
  static std::string Expanded(const QString& path);
  // The change list diff writes from the loaded radar.lzw to `newRecords`, at changes.csv.
  std::string WriteChangeList(const std::string& newRecords);
  void Load(Kestrolan& window);
  static QStringList Roads(const Kestrolan& window);

  std::unique_ptr<QTemporaryDir> dir_;
  std::string loaded_;
};

namespace {

// Records 0 to 2 as RecordBytes makes them, so identical to the loaded ones; 3 and 4 beside
// record 2 (X 3 and 4); 5 far from every other.
// Record 0 has bits no row shows, an unused bit and bytes after its road's end, which a save
// that rebuilt it from its row would lose.
std::string LoadedRecords() {
  std::string bytes = RecordBytes({"A1", "B 2", "C3"});
  RadarRecord first;
  first.Read(reinterpret_cast<const unsigned char*>(bytes.data()));
  first.packed |= 1;
  first.Road[5] = 'q';
  std::string hidden;
  first.AppendTo(hidden);
  return hidden + bytes.substr(kRadarRecordSize);
}

std::string OtherRecords() {
  std::string bytes = RecordBytes({"A1", "B 2", "C3", "near", "near"});
  RadarRecord far;
  far.SS = 9;
  far.AppendTo(bytes);
  return bytes;
}

std::string Records(const std::string& bytes, std::initializer_list<int> indices) {
  std::string out;
  for (const int i : indices) out += bytes.substr(i * kRadarRecordSize, kRadarRecordSize);
  return out;
}

QByteArray Bytes(const std::string& bytes) { return QByteArray::fromStdString(bytes); }

}  // namespace

void KestrolanMergeTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  loaded_ = LoadedRecords();
  QVERIFY(WriteArchive(Path("radar.lzw"), loaded_));
  QVERIFY(WriteArchive(Path("other.lzw"), OtherRecords()));
}

std::string KestrolanMergeTest::Expanded(const QString& path) {
  std::string expanded;
  LzwStringSink sink(expanded);
  return DecompressLzw(NativePath(path), sink).ok() ? expanded : std::string("unreadable");
}

std::string KestrolanMergeTest::WriteChangeList(const std::string& newRecords) {
  if (!WriteArchive(Path("new.lzw"), newRecords)) return std::string();
  const LoadOutcome oldRows = LoadDatabase(NativePath(Path("radar.lzw")));
  const LoadOutcome newRows = LoadDatabase(NativePath(Path("new.lzw")));
  std::FILE* out = std::fopen(NativePath(Path("changes.csv")).c_str(), "wb");
  const bool written =
      WriteDiffCsv(oldRows.rows, newRows.rows, CompareDatabases(oldRows.rows, newRows.rows), out);
  std::fclose(out);
  return written ? newRecords : std::string();
}

void KestrolanMergeTest::Load(Kestrolan& window) {
  window.LoadRadarFile(Path("radar.lzw"));
  QCOMPARE(window.Model().rowCount(), 3);
}

QStringList KestrolanMergeTest::Roads(const Kestrolan& window) {
  const RecordTableModel& model = window.Model();
  QStringList roads;
  for (int row = 0; row < model.rowCount(); ++row) {
    roads << model.data(model.index(row, static_cast<int>(Column::kRoad))).toString();
  }
  return roads;
}

void KestrolanMergeTest::AddRecordsDropsAsChosenAndUndoes_data() {
  QTest::addColumn<int>("choice");
  QTest::addColumn<QString>("message");
  QTest::addColumn<QByteArray>("saved");
  const std::string loaded = LoadedRecords();
  const std::string other = OtherRecords();
  QTest::newRow("keep all: every record, also those equal to a row")
      << 0 << "6 records read; 0 duplicates dropped; 6 added" << Bytes(loaded + other);
  QTest::newRow("duplicates: those equal to a row go")
      << 1 << "6 records read; 3 duplicates dropped; 3 added"
      << Bytes(loaded + Records(other, {3, 4, 5}));
  QTest::newRow("near-duplicates: those beside a row go too")
      << 2 << "6 records read; 3 duplicates and 2 near-duplicates dropped; 1 added"
      << Bytes(loaded + Records(other, {5}));
}

void KestrolanMergeTest::AddRecordsDropsAsChosenAndUndoes() {
  QFETCH(int, choice);
  QFETCH(QString, message);
  QFETCH(QByteArray, saved);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  prompts.SetNextFileName(Path("other.lzw"));
  prompts.SetNextChoice(choice);
  window.Actions().addRecords->trigger();
  QCOMPARE(prompts.unexpected, 0);
  QCOMPARE(window.statusBar()->currentMessage(), message);
  const int rows = static_cast<int>(saved.size() / kRadarRecordSize);
  QCOMPARE(window.Model().rowCount(), rows);
  QVERIFY(window.Editor().Modified());

  window.Actions().undo->trigger();
  QCOMPARE(Roads(window), QStringList({"A1", "B 2", "C3"}));
  QVERIFY(!window.Editor().Modified());
  window.Actions().redo->trigger();
  QCOMPARE(window.Model().rowCount(), rows);
  // The records added keep every byte they had in the other archive.
  QVERIFY(window.Save());
  QCOMPARE(Bytes(Expanded(Path("radar.lzw"))), saved);
}

void KestrolanMergeTest::ApplyChangesSavesWhatPatchWritesAndUndoes() {
  // A record added first, record 1 removed, record 2 changed.
  RadarRecord added;
  added.SS = 7;
  RadarRecord changed;
  changed.Read(reinterpret_cast<const unsigned char*>(loaded_.data()) + 2 * kRadarRecordSize);
  changed.Road[0] = 'Z';
  std::string newRecords;
  added.AppendTo(newRecords);
  newRecords += loaded_.substr(0, kRadarRecordSize);
  changed.AppendTo(newRecords);
  QVERIFY(!WriteChangeList(newRecords).empty());
  QCOMPARE(QProcess::execute(
               QStringLiteral(KESTROLAN_DB),
               {"patch", Path("radar.lzw"), Path("changes.csv"), "-o", Path("patched.lzw")}),
           0);

  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  prompts.SetNextFileName(Path("changes.csv"));
  window.Actions().applyChanges->trigger();
  QCOMPARE(prompts.shown, QStringList({"open: Apply changes from"}));
  QCOMPARE(Roads(window), QStringList({"", "A1", "Z3"}));
  QCOMPARE(window.Editor().History().count(), 1);

  window.Actions().undo->trigger();
  QCOMPARE(Roads(window), QStringList({"A1", "B 2", "C3"}));
  QVERIFY(!window.Editor().Modified());
  window.Actions().redo->trigger();
  QVERIFY(window.Save());
  QCOMPARE(Bytes(Expanded(Path("radar.lzw"))), Bytes(Expanded(Path("patched.lzw"))));
}

void KestrolanMergeTest::ListThatDoesNotFitChangesNothing_data() {
  QTest::addColumn<int>("offset");
  QTest::addColumn<char>("byte");
  QTest::addColumn<QString>("reason");
  // The list of record 1 removed: "removed,1,<old fields>,,,..." on line 2.
  QTest::newRow("old index out of range") << 8 << '7'
                                          << "line 2: old_index 7 is out of range: OLD has 3 "
                                             "records";
  QTest::newRow("old fields not the record's") << 10 << '9'
                                               << "line 2: the old fields are not those of "
                                                  "record 1 of OLD";
}

void KestrolanMergeTest::ListThatDoesNotFitChangesNothing() {
  QFETCH(int, offset);
  QFETCH(char, byte);
  QFETCH(QString, reason);
  QVERIFY(!WriteChangeList(Records(loaded_, {0, 2})).empty());
  QFile csv(Path("changes.csv"));
  QVERIFY(csv.open(QIODevice::ReadWrite));
  QByteArray text = csv.readAll();
  const qsizetype line = text.indexOf('\n') + 1;
  QVERIFY(text.mid(line).startsWith("removed,1,"));
  text[line + offset] = byte;
  csv.seek(0);
  csv.write(text);
  csv.close();

  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  Load(window);
  prompts.SetNextFileName(Path("changes.csv"));
  window.Actions().applyChanges->trigger();
  QCOMPARE(prompts.shown.value(1), "info: changes.csv: " + reason);
  QCOMPARE(Roads(window), QStringList({"A1", "B 2", "C3"}));
  QCOMPARE(window.Editor().History().count(), 0);
}

void KestrolanMergeTest::NothingIsAskedWithoutEditableRows_data() {
  QTest::addColumn<bool>("comparing");
  QTest::newRow("no database loaded") << false;
  QTest::newRow("a comparison on show") << true;
}

void KestrolanMergeTest::NothingIsAskedWithoutEditableRows() {
  QFETCH(bool, comparing);
  ScriptedPrompts prompts;
  Kestrolan window(prompts);
  if (comparing) {
    Load(window);
    prompts.SetNextFileName(Path("other.lzw"));
    window.CompareWith();
    QTRY_VERIFY(!window.Comparing());
    QVERIFY(window.Model().Comparison() != nullptr);
    prompts.shown.clear();
  }
  for (QAction* action : {window.Actions().addRecords, window.Actions().applyChanges}) {
    QVERIFY(!action->isEnabled());
    action->trigger();
  }
  QCOMPARE(prompts.shown, QStringList());
}

QTEST_MAIN(KestrolanMergeTest)
#include "kestrolan_merge_test.moc"
