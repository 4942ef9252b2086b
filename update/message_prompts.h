#pragma once

#include <QString>

namespace update {

// The messages and questions the update check puts to the user. The window implements them as
// message boxes titled with the program's name; tests answer from a script.
class MessagePrompts {
 public:
  virtual ~MessagePrompts() = default;

  // Information box with a single "OK" button. `details`, when not empty, is shown below `text`
  // as its informative text: the file concerned, or the reason for a failure.
  virtual void Information(const QString& text, const QString& details = QString()) = 0;
  // Question with "&Yes" and "&No"; true for Yes.
  virtual bool QuestionYesNo(const QString& text) = 0;
  // Question with "OK" and "Cancel"; true for OK.
  virtual bool QuestionOkCancel(const QString& text) = 0;
};

}  // namespace update
