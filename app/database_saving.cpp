// The window's editing and saving: the edit commands wired to the editor, Save and Save As…,
// and the question before unsaved changes would be lost.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>

#include "app/kestrolan.h"
#include "app/prompts.h"
#include "app/record_editor.h"
#include "app/status_text.h"
#include "app/window_status.h"
#include "radardb/edit/edited_save.h"

using namespace radardb;

namespace {

constexpr int kStatusMessageMs = 10000;

}  // namespace

void Kestrolan::WireEditing() {
  editor_ = new RecordEditor(model_, *acList, this);
  const WindowActions& a = actions_;
  QUndoStack& history = editor_->History();
  connect(a.undo, &QAction::triggered, &history, &QUndoStack::undo);
  connect(a.redo, &QAction::triggered, &history, &QUndoStack::redo);
  connect(a.deleteRows, &QAction::triggered, editor_, &RecordEditor::RemoveSelected);
  connect(a.insertRow, &QAction::triggered, editor_, &RecordEditor::CopySelected);
  connect(a.removeDuplicates, &QAction::triggered, this, &Kestrolan::RemoveExactDuplicates);
  connect(a.addRecords, &QAction::triggered, this, &Kestrolan::AddRecordsFrom);
  connect(a.applyChanges, &QAction::triggered, this, &Kestrolan::ApplyChangesFrom);
  connect(a.save, &QAction::triggered, this, &Kestrolan::Save);
  connect(a.saveAs, &QAction::triggered, this, &Kestrolan::SaveAs);
  connect(&history, &QUndoStack::indexChanged, this, &Kestrolan::FollowEditState);
  connect(&history, &QUndoStack::cleanChanged, this, &Kestrolan::FollowEditState);
  connect(editor_, &RecordEditor::Refused, this, [this](const QString& reason) {
    statusBar()->showMessage(tr("Not changed: %1").arg(reason), kStatusMessageMs);
  });
  // A comparison or a check dropped may still be reading the rows on its thread.
  connect(&model_, &RecordTableModel::RowsAboutToChange, this, [this] {
    compareJob_.CancelAndWait();
    // A save changes "#" in place: a check still running is dropped, and its feedback goes.
    const bool checking = Checking();
    checkJob_.CancelAndWait();
    if (checking) StopChecking();
  });
  fsSave = fsRadar;
}

void Kestrolan::FollowEditState() {
  const WindowActions& a = actions_;
  const QUndoStack& history = editor_->History();
  const bool loaded = !database_.isEmpty();
  const bool editable = loaded && model_.Editable() && !Comparing();
  const bool modified = editor_->Modified();
  a.undo->setEnabled(editable && history.canUndo());
  a.redo->setEnabled(editable && history.canRedo());
  a.undo->setText(history.canUndo() ? tr("&Undo %1").arg(history.undoText()) : tr("&Undo"));
  a.redo->setText(history.canRedo() ? tr("&Redo %1").arg(history.redoText()) : tr("&Redo"));
  a.deleteRows->setEnabled(editable);
  a.insertRow->setEnabled(editable);
  a.removeDuplicates->setEnabled(editable);
  a.addRecords->setEnabled(editable && loadedWhole_);
  a.applyChanges->setEnabled(editable && loadedWhole_);
  a.checkDatabase->setEnabled(loaded && !Comparing());
  a.save->setEnabled(loadedWhole_ && modified && !Comparing());
  a.saveAs->setEnabled(loadedWhole_ && !Comparing());
  setWindowModified(modified);
  lbEdited->setVisible(modified);
}

void Kestrolan::RemoveExactDuplicates() {
  std::size_t removed = 0;
  setCursor(Qt::BusyCursor);
  const Status status = editor_->RemoveExactDuplicates(removed);
  unsetCursor();
  if (!status.ok()) {
    prompts_.Information(StatusText(status));
  } else if (removed == 0) {
    prompts_.Information(tr("No record equals an earlier one."));
  } else {
    statusBar()->showMessage(
        tr("Removed %1 exact duplicates; Undo brings them back.").arg(Thousands(removed)),
        kStatusMessageMs);
  }
}

bool Kestrolan::MaybeSaveChanges() {
  if (!editor_->Modified()) return true;
  const QString question = tr("Save changes to %1?").arg(QFileInfo(database_).fileName());
  switch (prompts_.QuestionSaveDiscardCancel(question)) {
    case Prompts::SaveChoice::kSave:
      return loadedWhole_ ? Save() : SaveAs();
    case Prompts::SaveChoice::kDiscard:
      return true;
    case Prompts::SaveChoice::kCancel:
      break;
  }
  return false;
}

bool Kestrolan::Save() {
  if (!loadedWhole_ || Comparing()) return false;
  const QFileInfo onDisk(database_);
  const bool changed = onDisk.exists() && (onDisk.lastModified() != databaseModified_ ||
                                           onDisk.size() != databaseSize_);
  if (changed && !prompts_.QuestionYesNo(tr("%1 has changed on disk since it was loaded. "
                                            "Overwrite it?")
                                             .arg(QDir::toNativeSeparators(database_)))) {
    return false;
  }
  return WriteDatabase(database_);
}

bool Kestrolan::SaveAs() {
  if (!loadedWhole_ || Comparing()) return false;
  fsSave.file = database_;
  if (!prompts_.SaveFile(fsSave, tr("Save database as"))) return false;
  return WriteDatabase(QFileInfo(fsSave.file).absoluteFilePath());
}

bool Kestrolan::WriteDatabase(const QString& path) {
  setCursor(Qt::BusyCursor);
  Status saved =
      SaveEditedDatabase(NativePath(database_), model_.Rows(), model_.Log(), NativePath(path));
  unsetCursor();
  // The archive loaded is gone (not found) or holds other records now.
  if (saved.message() == kSourceChanged || saved.code() == platform::StatusCode::kNotFound) {
    // Without the records it was loaded from, only what the table shows can be written.
    const bool fromRows = prompts_.QuestionYesNo(
        tr("%1 no longer holds the records the table was loaded from, so the bits the table "
           "does not show (unused bits, raw directions, bytes after a text's end) cannot be "
           "kept. Write the records as the table shows them?")
            .arg(QDir::toNativeSeparators(database_)));
    if (!fromRows) return false;
    setCursor(Qt::BusyCursor);
    saved = SaveShownRows(model_.Rows(), NativePath(path));
    unsetCursor();
  }
  if (!saved.ok()) {
    prompts_.Information(StatusText(saved), QDir::toNativeSeparators(path));
    return false;
  }
  model_.RowsSaved();
  editor_->History().clear();
  RememberDatabaseFile(path);
  FollowEditState();
  statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)), kStatusMessageMs);
  return true;
}

void Kestrolan::RememberDatabaseFile(const QString& path) {
  esFilename->setText(path);
  const QFileInfo file(path);
  database_ = file.absoluteFilePath();
  databaseModified_ = file.lastModified();
  databaseSize_ = file.size();
  ShowStatusFile(*lbFile, QDir::toNativeSeparators(database_));
  setWindowTitle(QStringLiteral("%1 - %2[*]").arg(KestrolanTitle(), file.fileName()));
}
