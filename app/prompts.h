#pragma once

#include <QString>
#include <QStringList>

#include "app/file_selector.h"
#include "update/message_prompts.h"

// Every question the program asks the user goes through this interface: the message boxes
// (titled with the program's name; the update check uses those through MessagePrompts) and the
// file dialogs. The window holds a reference to one; the program uses the Qt one, tests a
// scripted one.
class Prompts : public update::MessagePrompts {
 public:
  enum class SaveChoice { kSave, kDiscard, kCancel };
  // Question with "Save", "Discard" and "Cancel", asked before unsaved changes would be lost.
  virtual SaveChoice QuestionSaveDiscardCancel(const QString& text) = 0;
  // Asks `text` with a button for each of `choices` (their texts, in order) and Cancel: the index
  // of the choice taken, or -1 when cancelled.
  virtual int Choose(const QString& text, const QStringList& choices) = 0;
  // Runs `selector` as a dialog for opening an existing file. On acceptance stores the chosen
  // full path in selector.file and its folder in selector.directory and returns true; on
  // cancel returns false and leaves `selector` unchanged.
  virtual bool OpenFile(FileSelector& selector, const QString& title) = 0;
  // The same as a dialog for saving; selector.file presets the name (and the folder when it is a
  // full path).
  virtual bool SaveFile(FileSelector& selector, const QString& title) = 0;
};
