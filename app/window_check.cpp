// Tools → Check Database: the check `kestrolan-db check` makes, on the rows the window holds, on
// a thread of its own, its findings shown as a column of the table.
#include <QAction>
#include <QLabel>
#include <QProgressDialog>
#include <QTableView>

#include "app/kestrolan.h"
#include "app/load_feedback.h"
#include "app/prompts.h"
#include "app/record_table_view.h"
#include "app/status_text.h"
#include "radardb/compare/checked_rows.h"

using namespace radardb;

void Kestrolan::CheckDatabase() {
  if (Checking() || model_.Findings() != nullptr) {
    StopChecking();
    model_.DropFindings();
    FollowFindings();
    return;
  }
  if (database_.isEmpty()) {
    FollowFindings();
    return;
  }
  StopComparing();
  setCursor(Qt::BusyCursor);
  checkProgress_ = NewProgressDialog(tr("Checking %1").arg(lbFile->text()), this);
  checkProgress_->setMinimumDuration(LoadFeedback::kDelayMs);
  checkProgress_->setValue(0);
  connect(checkProgress_, &QProgressDialog::canceled, this, &Kestrolan::StopChecking);
  // The check reads the rows on its own thread: no edits meanwhile.
  model_.SetEditable(false);
  FollowEditState();

  checkJob_.Post([this, rows = model_.SharedRows()](std::stop_token) -> std::function<void()> {
    std::shared_ptr<const CheckedRows> checked;
    const Status status = CheckLoadedRows(rows, checked);
    return [this, status, checked] {
      StopChecking();
      if (!status.ok()) {
        prompts_.Information(StatusText(status));
        return;
      }
      model_.SetFindings(checked);
      ReapplySort(*acList);
      FollowFindings();
    };
  });
  FollowFindings();
}

void Kestrolan::StopChecking() {
  checkJob_.Cancel();
  StopJobFeedback(checkProgress_);
}

void Kestrolan::FollowFindings() {
  actions_.checkDatabase->setChecked(Checking() || model_.Findings() != nullptr);
}
