#pragma once

#include <QString>

#include "app/file_selector.h"

// Every question the program asks the user goes through this interface: the message boxes
// (titled with the program's name) and the file dialogs. The window and the update check hold a
// reference to one; the program uses the Qt one, tests a scripted one.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // Information box with a single "OK" button.
  virtual void Information(const QString& text) = 0;
  // Question with "&Yes" and "&No"; true for Yes.
  virtual bool QuestionYesNo(const QString& text) = 0;
  // Question with "OK" and "Cancel"; true for OK.
  virtual bool QuestionOkCancel(const QString& text) = 0;

  // Runs `selector` as a dialog for opening an existing file. On acceptance stores the chosen
  // full path in selector.file and its folder in selector.directory and returns true; on
  // cancel returns false and leaves `selector` unchanged.
  virtual bool OpenFile(FileSelector& selector, const QString& title) = 0;
  // The same as a dialog for saving; selector.file presets the name (and the folder when it is a
  // full path).
  virtual bool SaveFile(FileSelector& selector, const QString& title) = 0;
};
