#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

#include "update/http_get.h"
#include "update/release_signature.h"

namespace update {

class MessagePrompts;

// The program's self-update: ask, fetch the version list, decide, fetch the archive, install it
// beside the running executable and start the new version.

// The switch that keeps a program started without the update offer; the restarted program gets
// it, and the command line matches it exactly.
inline constexpr char kNoCheckSwitch[] = "-nocheck";

// Where the update check looks, what it trusts and what it replaces. The program fills it with
// the built-in server host, port 80, its own executable and the built-in release key; tests
// inject a local server, a program folder, a key of their own and shorter transfer limits.
struct UpdateEnvironment {
  MessagePrompts& prompts;
  QByteArray host;  // update server host name, without scheme or port
  quint16 port = 80;
  QString executablePath;  // full path of the running executable
  TransferProgress* progress = nullptr;
  ReleaseKey releaseKey = BuiltInReleaseKey();  // the archive's signature must verify with it
  int windowMs = HttpGetOptions().windowMs;     // every transfer's low-rate window
};

// The version list is a few hundred bytes: a fetch that takes longer than this has stalled. The
// archive gets HttpGet's default deadline.
inline constexpr qint64 kVersionListDeadlineMs = 60 * 1000;

// The update server host built into the program.
QByteArray BuiltInUpdateHost();

// The URL of the version list on the update server `host`.
QByteArray VersionListUrl(const QByteArray& host);
// The URL of the update archive `file` on the update server `host`.
QByteArray ArchiveUrl(const QByteArray& host, const QByteArray& file);

// Asks "Check for program updates ?"; on Yes runs UpdateProgram for `programName` and
// `programVersion` with restart. Returns true only when an update was installed and the new
// executable started, so the program must end at once.
bool OfferUpdate(const UpdateEnvironment& env, const QByteArray& programName,
                 const QByteArray& programVersion);

// The whole update: fetches the version list from env.host + "/software/lastversions.txt",
// decides and asks through FindUpdate, fetches env.host + "/software/" + the archive file name
// and then, with the same limits, that URL + ".sig", the archive's release signature; installs
// the archive's entries into the folder of env.executablePath (see InstallArchive) only when the
// signature verifies with env.releaseKey and, when `restart` is set and every entry was
// installed, starts env.executablePath again, detached, with the single argument "-nocheck".
// Returns true when the archive was fetched, every entry installed and, with `restart`, the new
// process started; false in every other case, so a new program that cannot be started leaves
// this one running. Failed fetches, and an archive that is not a readable ZIP or holds no entry,
// are reported as "Download of " + URL + " failed"; so is a signature that cannot be fetched or
// does not verify, for the archive's URL and with the reason as informative text, and then
// nothing is installed, moved or restarted.
bool UpdateProgram(const UpdateEnvironment& env, const QByteArray& programName,
                   const QByteArray& programVersion, bool restart);

// Decides from the version list `list` (see DecideUpdate) and tells the user through `prompts`:
// "No update found" or "Your program is up to date" as information, or, for a newer version, the
// OK/Cancel question whether to download it. Returns the archive file name to fetch when the user
// chose OK, and an empty name in every other case.
QByteArray FindUpdate(const QByteArray& list, const QByteArray& programName,
                      const QByteArray& programVersion, MessagePrompts& prompts);

// Fetches `url` with HttpGet and returns the body, complete; none when the fetch failed or the
// body is empty (HttpGet gives an empty body for every failure).
std::optional<QByteArray> FetchBlock(const QByteArray& url, const HttpGetOptions& options);

// Fetches the release signature beside the archive at `archiveUrl`, that URL + ".sig", with
// `options` but a body of at most a few KiB; none when the fetch failed or the body is empty.
std::optional<QByteArray> FetchSignature(const QByteArray& archiveUrl, HttpGetOptions options);

// The running executable's full path cut after its last folder separator ('/', and on Windows
// also '\\'): `directory` keeps the separator and is empty when the path has none.
struct ExecutableLocation {
  QString directory;
  QString name;
};
ExecutableLocation SplitExecutablePath(const QString& executablePath);

}  // namespace update
