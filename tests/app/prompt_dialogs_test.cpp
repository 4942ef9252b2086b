#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/qt_prompts.h"

// The look of the message boxes and what the file dialogs list and preset.
class PromptDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void MessageBoxes_data();
  void MessageBoxes();
  void RadarTypeListsBothNamesInAnyCase_data();
  void RadarTypeListsBothNamesInAnyCase();
  void SavePresetFullPathOpensItsFolder();
  void SavePresetBareNameKeepsRememberedFolder();
  void DialogRemembersFileFolderAndType_data();
  void DialogRemembersFileFolderAndType();

 private:
  QStringList Listed(QFileDialog& dialog, const QString& folder);
};

void PromptDialogsTest::MessageBoxes_data() {
  QTest::addColumn<int>("icon");
  QTest::addColumn<int>("buttons");
  QTest::addColumn<QStringList>("buttonTexts");

  QTest::newRow("information: OK only")
      << int(QMessageBox::Information) << int(QMessageBox::Ok) << QStringList{"OK"};
  QTest::newRow("yes/no question with mnemonics")
      << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No)
      << QStringList{"&No", "&Yes"};
  QTest::newRow("ok/cancel question")
      << int(QMessageBox::Question) << int(QMessageBox::Ok | QMessageBox::Cancel)
      << QStringList{"Cancel", "OK"};
}

void PromptDialogsTest::MessageBoxes() {
  QFETCH(int, icon);
  QFETCH(int, buttons);
  QFETCH(QStringList, buttonTexts);
  const auto box = MakeMessageBox(static_cast<QMessageBox::Icon>(icon), "Check <b>now</b> ?",
                                  QMessageBox::StandardButtons(buttons));
  QCOMPARE(box->windowTitle(), QStringLiteral("Kestrolan"));
  QCOMPARE(int(box->icon()), icon);
  QCOMPARE(box->text(), QStringLiteral("Check <b>now</b> ?"));
  QCOMPARE(box->textFormat(), Qt::PlainText);  // a path with '<' shows as written
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts << button->text();
  texts.sort();
  QCOMPARE(texts, buttonTexts);
}

QStringList PromptDialogsTest::Listed(QFileDialog& dialog, const QString& folder) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  if (model == nullptr || view == nullptr) return {QStringLiteral("no file list")};
  QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
  dialog.setDirectory(folder);
  dialog.show();
  // The model reads the folder in the background; the view shows it once loaded.
  const auto listed = [&loaded, view] {
    return !loaded.isEmpty() && view->model()->rowCount(view->rootIndex()) > 0;
  };
  if (!QTest::qWaitFor(listed, 10000)) return {QStringLiteral("folder never listed")};
  QCoreApplication::processEvents();
  QStringList names;
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
    const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
    if (index.flags().testFlag(Qt::ItemIsEnabled)) names << index.data().toString();
  }
  names.sort();
  return names;
}

void PromptDialogsTest::RadarTypeListsBothNamesInAnyCase_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<QStringList>("listed");
  QTest::newRow("Radar file: both names, any case, nothing else")
      << 0 << QStringList{"DANGERZ.LZW", "Radar.Lzw", "radar.lzw"};
  QTest::newRow("All files: every file, also without an extension")
      << 1
      << QStringList{"DANGERZ.LZW", "Radar.Lzw", "other.lzw", "radar", "radar.csv", "radar.lzw"};
}

void PromptDialogsTest::RadarTypeListsBothNamesInAnyCase() {
  QFETCH(int, type);
  QFETCH(QStringList, listed);
  QTemporaryDir dir;
  for (const char* name :
       {"radar.lzw", "Radar.Lzw", "DANGERZ.LZW", "other.lzw", "radar.csv", "radar"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  FileSelector selector{
      {{"Radar file", {"radar.lzw", "dangerz.lzw"}}, {"All files", {"*"}}}, {}, {}, {}};
  const auto dialog = MakeFileDialog(selector, "Open Radar file", QFileDialog::AcceptOpen);
  QCOMPARE(dialog->windowTitle(), QStringLiteral("Open Radar file"));
  QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
  QCOMPARE(dialog->nameFilters(),
           QStringList({"Radar file (radar.lzw dangerz.lzw)", "All files (*)"}));
  dialog->selectNameFilter(dialog->nameFilters()[type]);
  QCOMPARE(Listed(*dialog, dir.path()), listed);
}

void PromptDialogsTest::SavePresetFullPathOpensItsFolder() {
  QTemporaryDir dir;
  FileSelector selector{{{"CSV file", {"*.csv"}}}, QDir::tempPath(), dir.filePath("radar.csv"), {}};
  const auto dialog = MakeFileDialog(selector, "Save as", QFileDialog::AcceptSave);
  QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
  QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
  QCOMPARE(dialog->selectedFiles(), QStringList({QDir(dir.path()).absoluteFilePath("radar.csv")}));
  QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
}

void PromptDialogsTest::SavePresetBareNameKeepsRememberedFolder() {
  QTemporaryDir dir;
  FileSelector selector{{{"CSV file", {"*.csv"}}}, dir.path(), ".csv", {}};
  const auto dialog = MakeFileDialog(selector, "Save as", QFileDialog::AcceptSave);
  QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
  QCOMPARE(dialog->selectedFiles(), QStringList({QDir(dir.path()).absoluteFilePath(".csv")}));
}

void PromptDialogsTest::DialogRemembersFileFolderAndType_data() {
  QTest::addColumn<QString>("remembered");  // selector.type when the dialog opens
  QTest::addColumn<QString>("preselected");
  QTest::addColumn<QString>("chosen");  // the type the user picks in the dialog
  QTest::newRow("nothing remembered: the first type")
      << QString() << "Radar file (radar.lzw dangerz.lzw)"
      << "All files";
  QTest::newRow("All files remembered, not reset to Radar file") << "All files"
                                                                 << "All files (*)"
                                                                 << "All files";
  QTest::newRow("a change back to Radar file remembered") << "All files"
                                                          << "All files (*)"
                                                          << "Radar file";
}

void PromptDialogsTest::DialogRemembersFileFolderAndType() {
  QFETCH(QString, remembered);
  QFETCH(QString, preselected);
  QFETCH(QString, chosen);
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).absoluteFilePath("radar.lzw");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  FileSelector selector{
      {{"Radar file", {"radar.lzw", "dangerz.lzw"}}, {"All files", {"*"}}}, {}, {}, remembered};
  const auto dialog = MakeFileDialog(selector, "Open Radar file", QFileDialog::AcceptOpen);
  QCOMPARE(dialog->selectedNameFilter(), preselected);
  dialog->selectNameFilter(chosen == "All files" ? "All files (*)"
                                                 : "Radar file (radar.lzw dangerz.lzw)");
  dialog->setDirectory(dir.path());
  dialog->selectFile(path);
  RememberDialogChoice(selector, *dialog);
  QCOMPARE(selector.type, chosen);
  QCOMPARE(selector.file, path);
  QCOMPARE(selector.directory, QDir(dir.path()).absolutePath());
}

QTEST_MAIN(PromptDialogsTest)
#include "prompt_dialogs_test.moc"
