// The window's Load operation: runs the loader and shows what it produced.
#include <QFile>

#include "app/kestrolan.h"
#include "app/load_feedback.h"
#include "app/prompts.h"
#include "app/record_table_view.h"
#include "radardb/load_database.h"

void Kestrolan::LoadRadarFile(QString path) {
  LoadOutcome outcome;
  {
    LoadFeedback feedback(this);
    outcome = LoadDatabase(QFile::encodeName(path).toStdString(), feedback.Callback());
  }
  if (outcome.tableReplaced) {
    model_.SetRows(std::move(outcome.rows));
    ReapplySort(*acList);
    esFilename->setText(path);
  }
  if (!outcome.message.empty()) prompts_.Information(QString::fromStdString(outcome.message));
  if (outcome.exportEnabled.has_value()) btExport->setEnabled(*outcome.exportEnabled);
}
