#include "update/update_check.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include "update/message_prompts.h"
#include "update/update_install.h"
#include "update/version_list.h"

// The texts the user reads are English, translated where the program installed a translation
// (the window does; `kestrolan-db` never does, so it stays English).
namespace update {

namespace {

constexpr char kVersionListPath[] = "/software/lastversions.txt";
constexpr char kArchiveFolder[] = "/software/";
// A signature is 64 bytes: a server that sends more than this is not sending one.
constexpr qint64 kMostSignatureBytes = 4096;

// "Download of " + URL + " failed", with `reason` as informative text when there is one.
void ReportDownloadFailed(MessagePrompts& prompts, const QByteArray& url,
                          const QString& reason = {}) {
  const QString text =
      QCoreApplication::translate("Update", "Download of %1 failed").arg(QString::fromUtf8(url));
  if (reason.isEmpty()) {
    prompts.Information(text);
  } else {
    prompts.Information(text, reason);
  }
}

bool IsSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'/' || c == u'\\';
#else
  return c == u'/';
#endif
}

}  // namespace

QByteArray BuiltInUpdateHost() { return KESTROLAN_UPDATE_HOST; }

QByteArray VersionListUrl(const QByteArray& host) { return host + kVersionListPath; }

QByteArray ArchiveUrl(const QByteArray& host, const QByteArray& file) {
  return host + kArchiveFolder + file;
}

bool OfferUpdate(const UpdateEnvironment& env, const QByteArray& programName,
                 const QByteArray& programVersion) {
  const QString question = QCoreApplication::translate("Update", "Check for program updates ?");
  if (!env.prompts.QuestionYesNo(question)) return false;
  return UpdateProgram(env, programName, programVersion, true);
}

bool UpdateProgram(const UpdateEnvironment& env, const QByteArray& programName,
                   const QByteArray& programVersion, bool restart) {
  HttpGetOptions options;
  options.port = env.port;
  options.progress = env.progress;
  options.windowMs = env.windowMs;

  const QByteArray listUrl = VersionListUrl(env.host);
  QByteArray archiveName;
  {
    HttpGetOptions listOptions = options;
    listOptions.deadlineMs = kVersionListDeadlineMs;
    const std::optional<QByteArray> list = FetchBlock(listUrl, listOptions);
    if (!list) {
      ReportDownloadFailed(env.prompts, listUrl);
      return false;
    }
    archiveName = FindUpdate(*list, programName, programVersion, env.prompts);
  }
  if (archiveName.isEmpty()) return false;

  const QByteArray archiveUrl = ArchiveUrl(env.host, archiveName);
  const std::optional<QByteArray> archive = FetchBlock(archiveUrl, options);
  if (!archive) {
    ReportDownloadFailed(env.prompts, archiveUrl);
    return false;
  }
  const std::optional<QByteArray> signature = FetchSignature(archiveUrl, options);
  if (!signature) {
    ReportDownloadFailed(env.prompts, archiveUrl,
                         QCoreApplication::translate("Update", kSignatureNotFetched));
    return false;
  }
  const ExecutableLocation location = SplitExecutablePath(env.executablePath);
  switch (InstallArchive(*archive, *signature, env.releaseKey, location.directory, env.prompts)) {
    case InstallResult::kNotSigned:
      ReportDownloadFailed(env.prompts, archiveUrl, SignatureRefusal(*signature));
      return false;
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
  // inherits the environment and the current folder. When it cannot be started, this one goes
  // on to its window rather than ending with no program running.
  return QProcess::startDetached(env.executablePath, QStringList{kNoCheckSwitch});
}

QByteArray FindUpdate(const QByteArray& list, const QByteArray& programName,
                      const QByteArray& programVersion, MessagePrompts& prompts) {
  const UpdateDecision decision = DecideUpdate(list, programName, programVersion);
  switch (decision.kind) {
    case UpdateDecision::Kind::kNotFound:
      prompts.Information(QCoreApplication::translate("Update", "No update found"));
      return {};
    case UpdateDecision::Kind::kUpToDate:
      prompts.Information(QCoreApplication::translate("Update", "Your program is up to date"));
      return {};
    case UpdateDecision::Kind::kNewer:
      break;
  }
  const QString question =
      QCoreApplication::translate(
          "Update",
          "New version present. Would you download the new file:%1  Version:%2  Date:%3 ?")
          .arg(QString::fromUtf8(programName), QString::fromUtf8(decision.version),
               QString::fromUtf8(decision.date));
  return prompts.QuestionOkCancel(question) ? decision.file : QByteArray();
}

std::optional<QByteArray> FetchBlock(const QByteArray& url, const HttpGetOptions& options) {
  QByteArray body = HttpGet(url, options);
  if (body.isEmpty()) return std::nullopt;
  return body;
}

std::optional<QByteArray> FetchSignature(const QByteArray& archiveUrl, HttpGetOptions options) {
  options.maxBodyBytes = kMostSignatureBytes;
  return FetchBlock(archiveUrl + kSignatureSuffix, options);
}

ExecutableLocation SplitExecutablePath(const QString& executablePath) {
  qsizetype cut = executablePath.size();
  while (cut > 0 && !IsSeparator(executablePath[cut - 1])) --cut;
  return {executablePath.left(cut), executablePath.mid(cut)};
}

}  // namespace update
