#include "app/qt_prompts.h"

#include <QFileInfo>
#include <QPushButton>

#include "update/app_identity.h"

using namespace update;

namespace {

bool RunFileDialog(FileSelector& selector, const QString& title, QFileDialog::AcceptMode mode) {
  const auto dialog = MakeFileDialog(selector, title, mode);
  if (dialog->exec() != QDialog::Accepted) return false;
  if (dialog->selectedFiles().isEmpty()) return false;
  RememberDialogChoice(selector, *dialog);
  return true;
}

}  // namespace

void QtPrompts::Information(const QString& text, const QString& details) {
  const auto box = MakeMessageBox(QMessageBox::Information, text, QMessageBox::Ok);
  box->setInformativeText(details);
  box->exec();
}

bool QtPrompts::QuestionYesNo(const QString& text) {
  return MakeMessageBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No)->exec() ==
         QMessageBox::Yes;
}

bool QtPrompts::QuestionOkCancel(const QString& text) {
  return MakeMessageBox(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel)
             ->exec() == QMessageBox::Ok;
}

int QtPrompts::Choose(const QString& text, const QStringList& choices) {
  const auto box = MakeMessageBox(QMessageBox::Question, text, QMessageBox::Cancel);
  QList<QAbstractButton*> buttons;
  for (const QString& choice : choices) {
    buttons << box->addButton(choice, QMessageBox::AcceptRole);
  }
  if (!buttons.isEmpty()) box->setDefaultButton(static_cast<QPushButton*>(buttons.front()));
  box->exec();
  return static_cast<int>(buttons.indexOf(box->clickedButton()));
}

Prompts::SaveChoice QtPrompts::QuestionSaveDiscardCancel(const QString& text) {
  const auto box = MakeMessageBox(QMessageBox::Warning, text,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  box->setDefaultButton(QMessageBox::Save);
  switch (box->exec()) {
    case QMessageBox::Save:
      return SaveChoice::kSave;
    case QMessageBox::Discard:
      return SaveChoice::kDiscard;
    default:
      return SaveChoice::kCancel;
  }
}

bool QtPrompts::OpenFile(FileSelector& selector, const QString& title) {
  return RunFileDialog(selector, title, QFileDialog::AcceptOpen);
}

bool QtPrompts::SaveFile(FileSelector& selector, const QString& title) {
  return RunFileDialog(selector, title, QFileDialog::AcceptSave);
}

std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
  auto box = std::make_unique<QMessageBox>(icon, QString::fromLatin1(AppName), text, buttons);
  box->setTextFormat(Qt::PlainText);
  return box;
}

QString NameFilter(const FileType& type) {
  return QStringLiteral("%1 (%2)").arg(type.name, type.patterns.join(QLatin1Char(' ')));
}

std::unique_ptr<QFileDialog> MakeFileDialog(const FileSelector& selector, const QString& title,
                                            QFileDialog::AcceptMode mode) {
  auto dialog = std::make_unique<QFileDialog>(nullptr, title);
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  QStringList filters;
  for (const FileType& type : selector.types) filters << NameFilter(type);
  dialog->setNameFilters(filters);
  for (const FileType& type : selector.types) {
    if (type.name == selector.type) dialog->selectNameFilter(NameFilter(type));
  }

  // A full path names the folder as well; a bare name opens in the remembered folder.
  const QFileInfo preset(selector.file);
  if (!selector.file.isEmpty() && preset.isAbsolute()) {
    dialog->setDirectory(preset.absolutePath());
    dialog->selectFile(preset.fileName());
  } else {
    if (!selector.directory.isEmpty()) dialog->setDirectory(selector.directory);
    if (!selector.file.isEmpty()) dialog->selectFile(selector.file);
  }
  return dialog;
}

void RememberDialogChoice(FileSelector& selector, const QFileDialog& dialog) {
  const QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty()) RememberChoice(selector, chosen.first());
  for (const FileType& type : selector.types) {
    if (NameFilter(type) == dialog.selectedNameFilter()) selector.type = type.name;
  }
}
