#include "app/load_feedback.h"

#include <QApplication>
#include <QCursor>
#include <limits>

#include "app/translations.h"
#include "app/window_status.h"
#include "radardb/records/radar_record.h"
#include "update/app_identity.h"

using namespace radardb;
using namespace update;

namespace {

constexpr std::uint64_t kBytesPerTenthMb = 100'000;

// "241.0": megabytes with one decimal, thousands grouped, in DisplayLocale()'s way.
QString Megabytes(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes + kBytesPerTenthMb / 2) / kBytesPerTenthMb;
  return DisplayLocale().toString(static_cast<double>(tenths) / 10, 'f', 1);
}

}  // namespace

QProgressDialog* NewProgressDialog(const QString& text, QWidget* owner, const QString& title) {
  auto* dialog =
      new QProgressDialog(text, QCoreApplication::translate("LoadFeedback", "Cancel"), 0, 0, owner);
  dialog->setWindowTitle(title.isEmpty() ? QString::fromLatin1(AppName) : title);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  return dialog;
}

QString LoadProgressText(std::uint64_t done, std::uint64_t total) {
  return QCoreApplication::translate("LoadFeedback", "%1 of %2 MB \u00b7 %3 records")
      .arg(Megabytes(done), Megabytes(total), Thousands(done / kRadarRecordSize));
}

LoadFeedback::LoadFeedback(QWidget* owner, const QString& title, int delayMs)
    : owner_(owner), title_(title), delayMs_(delayMs) {
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
  dialog_->setLabelText(LoadProgressText(done, total));
  dialog_->setValue(static_cast<int>(done / scale_));
  QCoreApplication::processEvents();
  cancelled_ = dialog_->wasCanceled();
  return !cancelled_;
}

void LoadFeedback::Show() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  busyCursor_ = true;
  dialog_ = NewProgressDialog(QString(), owner_, title_);
  dialog_->show();
}

void LoadFeedback::Start(std::uint64_t total) {
  constexpr std::uint64_t kLargest = std::numeric_limits<int>::max();
  total_ = total;
  scale_ = total / kLargest + 1;
  dialog_->setRange(0, static_cast<int>(total / scale_));
}
