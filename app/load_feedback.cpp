#include "app/load_feedback.h"

#include <QApplication>
#include <QCursor>
#include <limits>

#include "radardb/app_identity.h"

LoadFeedback::LoadFeedback(QWidget* owner, int delayMs) : owner_(owner), delayMs_(delayMs) {
  clock_.start();
}

LoadFeedback::~LoadFeedback() {
  delete dialog_;
  if (busyCursor_) QApplication::restoreOverrideCursor();
}

LoadProgress LoadFeedback::Callback() {
  return [this](std::size_t done, std::size_t total) { Report(done, total); };
}

void LoadFeedback::Report(std::size_t done, std::size_t total) {
  if (dialog_ == nullptr) {
    if (clock_.elapsed() < delayMs_) return;
    Show(total);
  }
  dialog_->setLabelText(QStringLiteral("%1 of %2 records read").arg(done).arg(total));
  dialog_->setValue(static_cast<int>(done / static_cast<std::size_t>(scale_)));
  QCoreApplication::processEvents();
}

void LoadFeedback::Show(std::size_t total) {
  constexpr std::size_t kLargest = std::numeric_limits<int>::max();
  scale_ = static_cast<int>(total / kLargest + 1);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  busyCursor_ = true;
  dialog_ = new QProgressDialog(owner_);
  dialog_->setWindowTitle(QString::fromLatin1(AppName));
  dialog_->setCancelButton(nullptr);
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setMinimumDuration(0);
  dialog_->setRange(0, static_cast<int>(total / static_cast<std::size_t>(scale_)));
  dialog_->show();
}
