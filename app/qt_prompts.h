#pragma once

#include "app/prompts.h"

// The program's prompts: modal message boxes and Qt's own file dialogs (see prompt_dialogs.h).
// Needs a QApplication.
class QtPrompts : public Prompts {
 public:
  void Information(const QString& text) override;
  bool QuestionYesNo(const QString& text) override;
  bool QuestionOkCancel(const QString& text) override;
  bool OpenFile(FileSelector& selector, const QString& title) override;
  bool SaveFile(FileSelector& selector, const QString& title) override;
};
