#pragma once

#include <QString>

// The messages and questions the update check puts to the user. The window implements them as
// message boxes titled with the program's name; tests answer from a script.
class MessagePrompts {
 public:
  virtual ~MessagePrompts() = default;

  // Information box with a single "OK" button.
  virtual void Information(const QString& text) = 0;
  // The same with `reason` as the box's informative text, shown below `text`.
  virtual void Information(const QString& text, const QString& reason) = 0;
  // Question with "&Yes" and "&No"; true for Yes.
  virtual bool QuestionYesNo(const QString& text) = 0;
  // Question with "OK" and "Cancel"; true for OK.
  virtual bool QuestionOkCancel(const QString& text) = 0;
};
