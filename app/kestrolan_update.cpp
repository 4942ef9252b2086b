#include <QCoreApplication>

#include "app/kestrolan.h"
#include "app/transfer_progress_dialog.h"
#include "update/update_check.h"

bool Kestrolan::CheckUpdate() {
  TransferProgressDialog progress;
  const UpdateEnvironment environment{
      .prompts = prompts_,
      .host = BuiltInUpdateHost(),
      .executablePath = QCoreApplication::applicationFilePath(),
      .progress = &progress,
  };
  return OfferUpdate(environment);
}
