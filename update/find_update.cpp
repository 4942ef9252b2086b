#include "update/find_update.h"

#include <QString>

#include "app/prompts.h"
#include "update/update_decision.h"

QByteArray FindUpdate(const QByteArray& list, const QByteArray& programName,
                      const QByteArray& programVersion, Prompts& prompts) {
  const UpdateDecision decision = DecideUpdate(list, programName, programVersion);
  switch (decision.kind) {
    case UpdateDecision::Kind::kNotFound:
      prompts.Information("No update found");
      return {};
    case UpdateDecision::Kind::kUpToDate:
      prompts.Information("Your program is up to date");
      return {};
    case UpdateDecision::Kind::kNewer:
      break;
  }
  const QString question =
      "New version present. Would you download the new file:" + QString::fromUtf8(programName) +
      "  Version:" + QString::fromUtf8(decision.version) +
      "  Date:" + QString::fromUtf8(decision.date) + " ?";
  return prompts.QuestionOkCancel(question) ? decision.file : QByteArray();
}
