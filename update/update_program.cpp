#include "update/update_program.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include "app/prompts.h"
#include "update/fetch_block.h"
#include "update/find_update.h"
#include "update/update_check.h"
#include "update/update_install.h"
#include "update/update_paths.h"

namespace {

constexpr char kVersionListPath[] = "/software/lastversions.txt";
constexpr char kArchiveFolder[] = "/software/";
// The switch that keeps the restarted program from offering the update again.
constexpr char kNoCheckSwitch[] = "-nocheck";

void ReportDownloadFailed(Prompts& prompts, const QByteArray& url) {
  prompts.Information("Download of " + QString::fromUtf8(url) + " failed");
}

}  // namespace

bool UpdateProgram(const UpdateEnvironment& env, const QByteArray& programName,
                   const QByteArray& programVersion, bool restart) {
  HttpGetOptions options;
  options.port = env.port;
  options.progress = env.progress;

  const QByteArray listUrl = env.host + kVersionListPath;
  QByteArray archiveName;
  {
    const std::optional<QByteArray> list = FetchBlock(listUrl, options);
    if (!list) {
      ReportDownloadFailed(env.prompts, listUrl);
      return false;
    }
    archiveName = FindUpdate(*list, programName, programVersion, env.prompts);
  }
  if (archiveName.isEmpty()) return false;

  const QByteArray archiveUrl = env.host + kArchiveFolder + archiveName;
  const std::optional<QByteArray> archive = FetchBlock(archiveUrl, options);
  if (!archive) {
    ReportDownloadFailed(env.prompts, archiveUrl);
    return false;
  }
  const ExecutableLocation location = SplitExecutablePath(env.executablePath);
  switch (InstallArchive(*archive, location.directory, env.prompts)) {
    case InstallResult::kNotAnArchive:
      ReportDownloadFailed(env.prompts, archiveUrl);
      return false;
    case InstallResult::kFailed:
      return false;
    case InstallResult::kInstalled:
      break;
  }
  if (!restart) return true;
  // Separate arguments, so a path with blanks reaches the new process whole; the new process
  // inherits the environment and the current folder.
  return QProcess::startDetached(env.executablePath, QStringList{kNoCheckSwitch});
}
