#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>

#include "update/http_get.h"

// Shows a transfer's progress in a modal progress dialog titled with the program's name, with a
// Cancel button. Positions beyond the dialog's int range are scaled down. While the dialog is
// open, SetPos and Cancelled let the GUI handle pending events (Cancelled at most every few
// milliseconds, however often it is called), so the dialog repaints and its Cancel button works
// while the transfer waits. Needs a QApplication.
class TransferProgressDialog : public update::TransferProgress {
 public:
  TransferProgressDialog() = default;
  ~TransferProgressDialog() override;
  TransferProgressDialog(const TransferProgressDialog&) = delete;
  TransferProgressDialog& operator=(const TransferProgressDialog&) = delete;

  void Open(const QString& text, int widthPx) override;
  void SetTotal(qint64 total) override;
  void SetPos(qint64 pos) override;
  bool Cancelled() override;
  void Close() override;

  // The open dialog, or null.
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  int ToDialogUnits(qint64 value) const;
  void HandleEvents();

  QPointer<QProgressDialog> dialog_;
  qint64 total_ = 0;
  bool cancelled_ = false;
  QElapsedTimer sinceEvents_;
};
