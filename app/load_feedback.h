#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <cstdint>

#include "radardb/records/load_database.h"

class QWidget;

// A progress dialog of the program's own look, for the load, the comparison and the update's
// transfers: titled `title` (the program's name when empty), modal for the whole application, a
// Cancel button, a busy indicator until a range is set, neither closing nor resetting itself
// when full, shown as soon as a value is set unless the caller sets a delay. `owner` parents it;
// may be null.
QProgressDialog* NewProgressDialog(const QString& text, QWidget* owner,
                                   const QString& title = QString());

// A load's progress as the dialog tells it: "12.3 of 241.0 MB · 51,037 records" (megabytes of
// 1,000,000 bytes expanded of the total, and the records those bytes hold).
QString LoadProgressText(std::uint64_t done, std::uint64_t total);

// What the user sees while a database loads: nothing for a short load; once a load has run for
// kDelayMs, a busy cursor and a modal dialog titled `title` ("Loading radar.lzw") with
// LoadProgressText, and a Cancel button that stops the load. Both go away when the object is
// destroyed. Needs a QApplication.
class LoadFeedback {
 public:
  static constexpr int kDelayMs = 500;

  // `owner` parents the dialog; may be null. `delayMs`: how long a load runs before it shows.
  LoadFeedback(QWidget* owner, const QString& title, int delayMs = kDelayMs);
  ~LoadFeedback();
  LoadFeedback(const LoadFeedback&) = delete;
  LoadFeedback& operator=(const LoadFeedback&) = delete;

  // The callback to hand to LoadDatabase; valid while this object lives.
  radardb::LoadProgress Callback();
  // Reports progress; shows the feedback once the load has run for kDelayMs. Returns false once
  // the user has pressed Cancel.
  bool Report(std::uint64_t done, std::uint64_t total);

  // The dialog once shown, or null.
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  void Show();
  void Start(std::uint64_t total);

  QWidget* owner_;
  QString title_;
  int delayMs_;
  QElapsedTimer clock_;
  QPointer<QProgressDialog> dialog_;
  bool busyCursor_ = false;
  bool cancelled_ = false;
  std::uint64_t total_ = 0;
  std::uint64_t scale_ = 1;  // units per dialog step, so counts fit the dialog's int range
};
