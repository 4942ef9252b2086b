#include "app/transfer_progress_dialog.h"

#include <QCoreApplication>
#include <limits>

#include "app/load_feedback.h"

namespace {

constexpr qint64 kLargestDialogValue = std::numeric_limits<int>::max();
// Handling events costs far more than reading a small chunk; this often is enough for a smooth
// dialog and a prompt Cancel.
constexpr qint64 kEventIntervalMs = 20;

}  // namespace

TransferProgressDialog::~TransferProgressDialog() { Close(); }

void TransferProgressDialog::Open(const QString& text, int widthPx) {
  Close();
  total_ = 0;
  cancelled_ = false;
  dialog_ = NewProgressDialog(text, nullptr);
  dialog_->resize(widthPx, dialog_->sizeHint().height());
  dialog_->show();
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

int TransferProgressDialog::ToDialogUnits(qint64 value) const {
  if (total_ <= kLargestDialogValue) return static_cast<int>(value);
  return static_cast<int>(value / (total_ / kLargestDialogValue + 1));
}

void TransferProgressDialog::SetTotal(qint64 total) {
  total_ = total;
  if (dialog_ != nullptr) dialog_->setMaximum(ToDialogUnits(total));
}

void TransferProgressDialog::HandleEvents() {
  if (sinceEvents_.elapsed() < kEventIntervalMs) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

void TransferProgressDialog::SetPos(qint64 pos) {
  // A modal progress dialog handles pending events itself when its value is set.
  if (dialog_ != nullptr) dialog_->setValue(ToDialogUnits(pos));
}

bool TransferProgressDialog::Cancelled() {
  if (dialog_ == nullptr) return cancelled_;
  HandleEvents();
  // Handling events may have closed the dialog.
  if (dialog_ != nullptr && dialog_->wasCanceled()) cancelled_ = true;
  return cancelled_;
}

void TransferProgressDialog::Close() {
  if (dialog_ == nullptr) return;
  dialog_->hide();
  delete dialog_;
}
