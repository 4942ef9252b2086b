#pragma once

#include <QString>
#include <QtGlobal>

// The progress display of a transfer. The window uses a dialog; tests and the command-line tool
// use none (a null pointer) or a recording one.
class TransferProgress {
 public:
  virtual ~TransferProgress() = default;

  // Shows the display with `text`, `widthPx` wide, without blocking; total and position are 0.
  virtual void Open(const QString& text, int widthPx) = 0;
  virtual void SetTotal(qint64 total) = 0;
  // Updates the position; may process pending GUI events.
  virtual void SetPos(qint64 pos) = 0;
  // True once the user has asked to stop the transfer.
  virtual bool Cancelled() = 0;
  virtual void Close() = 0;
};
