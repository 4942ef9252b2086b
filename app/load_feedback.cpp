#include "app/load_feedback.h"

#include <QApplication>
#include <QCursor>
#include <limits>

#include "update/app_identity.h"

using namespace radardb;

using namespace update;

QProgressDialog* NewProgressDialog(const QString& text, QWidget* owner) {
  auto* dialog = new QProgressDialog(text, QStringLiteral("Cancel"), 0, 0, owner);
  dialog->setWindowTitle(QString::fromLatin1(AppName));
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  return dialog;
}

LoadFeedback::LoadFeedback(QWidget* owner, int delayMs) : owner_(owner), delayMs_(delayMs) {
  clock_.start();
}

LoadFeedback::~LoadFeedback() {
  delete dialog_;
  if (busyCursor_) QApplication::restoreOverrideCursor();
}

LoadProgress LoadFeedback::Callback() {
  return [this](std::uint64_t done, std::uint64_t total) { return Report(done, total); };
}

bool LoadFeedback::Report(std::uint64_t done, std::uint64_t total) {
  if (cancelled_) return false;
  const bool showing = dialog_ != nullptr;
  if (!showing) {
    if (clock_.elapsed() < delayMs_) return true;
    Show();
  }
  if (!showing || total != total_) Start(total);
  dialog_->setLabelText(QStringLiteral("%1 of %2 bytes expanded").arg(done).arg(total));
  dialog_->setValue(static_cast<int>(done / scale_));
  QCoreApplication::processEvents();
  cancelled_ = dialog_->wasCanceled();
  return !cancelled_;
}

void LoadFeedback::Show() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  busyCursor_ = true;
  dialog_ = NewProgressDialog(QString(), owner_);
  dialog_->show();
}

void LoadFeedback::Start(std::uint64_t total) {
  constexpr std::uint64_t kLargest = std::numeric_limits<int>::max();
  total_ = total;
  scale_ = total / kLargest + 1;
  dialog_->setRange(0, static_cast<int>(total / scale_));
}
