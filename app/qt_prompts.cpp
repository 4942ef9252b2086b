#include "app/qt_prompts.h"

#include "app/prompt_dialogs.h"

namespace {

bool RunFileDialog(FileSelector& selector, const QString& title, QFileDialog::AcceptMode mode) {
  const auto dialog = MakeFileDialog(selector, title, mode);
  if (dialog->exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty()) return false;
  RememberChoice(selector, chosen.first());
  return true;
}

}  // namespace

void QtPrompts::Information(const QString& text) {
  MakeMessageBox(QMessageBox::Information, text, QMessageBox::Ok)->exec();
}

bool QtPrompts::QuestionYesNo(const QString& text) {
  return MakeMessageBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No)->exec() ==
         QMessageBox::Yes;
}

bool QtPrompts::QuestionOkCancel(const QString& text) {
  return MakeMessageBox(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel)
             ->exec() == QMessageBox::Ok;
}

bool QtPrompts::OpenFile(FileSelector& selector, const QString& title) {
  return RunFileDialog(selector, title, QFileDialog::AcceptOpen);
}

bool QtPrompts::SaveFile(FileSelector& selector, const QString& title) {
  return RunFileDialog(selector, title, QFileDialog::AcceptSave);
}
