#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <memory>

#include "app/file_selector.h"
#include "app/prompts.h"

// The program's prompts: modal message boxes and Qt's own file dialogs. Needs a QApplication.
class QtPrompts : public Prompts {
 public:
  void Information(const QString& text, const QString& details = QString()) override;
  bool QuestionYesNo(const QString& text) override;
  bool QuestionOkCancel(const QString& text) override;
  SaveChoice QuestionSaveDiscardCancel(const QString& text) override;
  int Choose(const QString& text, const QStringList& choices) override;
  bool OpenFile(FileSelector& selector, const QString& title) override;
  bool SaveFile(FileSelector& selector, const QString& title) override;
};

// The dialogs behind QtPrompts, built but not run, so their look can be checked without a person.

// A message box titled with the program's name, with `icon` (and its system sound when shown),
// `text` and `buttons` (Qt's standard buttons read "OK", "Cancel", "&Yes", "&No").
std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons);

// A file dialog for `selector`: its types as name filters, the type chosen last selected, opened
// in its folder with its file preselected. Qt's own dialog, not the desktop's: it matches the
// types' whole-name patterns
// ("radar.lzw") regardless of letter case on every platform, which native dialogs on Linux do
// not promise. Saving asks before replacing an existing file.
std::unique_ptr<QFileDialog> MakeFileDialog(const FileSelector& selector, const QString& title,
                                            QFileDialog::AcceptMode mode);

// The name filter of one file type: "Radar file (radar.lzw dangerz.lzw)".
QString NameFilter(const FileType& type);

// Stores what the user chose in `dialog` (made by MakeFileDialog for `selector`) in `selector`:
// the file and its folder (RememberChoice) and the type.
void RememberDialogChoice(FileSelector& selector, const QFileDialog& dialog);
