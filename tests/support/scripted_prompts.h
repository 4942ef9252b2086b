#pragma once

#include <QQueue>
#include <QString>
#include <QStringList>

#include "app/prompts.h"

// Prompts that answer from a script and record what was asked, so tests drive every branch
// without a person. A question or dialog with no scripted answer fails the test loudly: it
// counts in `unexpected` and answers No / Cancel.
class ScriptedPrompts : public Prompts {
 public:
  // Answers for the next questions, in order (true: Yes / OK).
  void SetNextAnswer(bool answer) { answers_.enqueue(answer); }
  // The answer to the next Save / Discard / Cancel question.
  void SetNextSaveChoice(SaveChoice choice) { saveChoices_.enqueue(choice); }
  // The index of the choice the next Choose takes; -1 cancels it.
  void SetNextChoice(int choice) { choices_.enqueue(choice); }
  // The next file dialog accepts this path; an empty path cancels it.
  void SetNextFileName(const QString& path) { fileNames_.enqueue(path); }

  void Information(const QString& text, const QString& details = QString()) override {
    shown << "info: " + text;
    if (!details.isEmpty()) shown << "details: " + details;
  }
  bool QuestionYesNo(const QString& text) override { return Answer("yesno: " + text); }
  bool QuestionOkCancel(const QString& text) override { return Answer("okcancel: " + text); }
  SaveChoice QuestionSaveDiscardCancel(const QString& text) override {
    shown << "savediscard: " + text;
    if (saveChoices_.isEmpty()) {
      ++unexpected;
      return SaveChoice::kCancel;
    }
    return saveChoices_.dequeue();
  }
  int Choose(const QString& text, const QStringList& choices) override {
    shown << "choose: " + text + " [" + choices.join(" | ") + "]";
    if (choices_.isEmpty()) {
      ++unexpected;
      return -1;
    }
    return choices_.dequeue();
  }
  bool OpenFile(FileSelector& selector, const QString& title) override {
    return Choose(selector, "open: " + title);
  }
  bool SaveFile(FileSelector& selector, const QString& title) override {
    savePresets << selector.file;
    return Choose(selector, "save: " + title);
  }

  // Everything shown, in order: "info: TEXT" (followed by "details: DETAILS" when there are
  // any), "yesno: TEXT", "okcancel: TEXT", "savediscard: TEXT", "choose: TEXT [CHOICE | …]", "open:
  // TITLE", "save: TITLE".
  QStringList shown;
  // selector.file as each save dialog was opened with it.
  QStringList savePresets;
  int unexpected = 0;

 private:
  bool Answer(const QString& event);
  bool Choose(FileSelector& selector, const QString& event);

  QQueue<bool> answers_;
  QQueue<QString> fileNames_;
  QQueue<SaveChoice> saveChoices_;
  QQueue<int> choices_;
};
