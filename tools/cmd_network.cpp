// The commands that talk to a server. kestrolan-db fetch fetches a URL the way the update check
// does, so an administrator can test the update server from a shell; check-update tells what the
// program's update check would decide and whether the archive's release signature verifies,
// installing nothing.
#include <QByteArray>
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/output_file.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"
#include "update/app_identity.h"
#include "update/http_get.h"
#include "update/release_signature.h"
#include "update/update_check.h"
#include "update/version_list.h"

using namespace radardb;
using platform::Status;
using namespace update;

namespace {

// The socket layer needs an application object; the tool's other commands do not, so the
// network commands make one for as long as this lives (unless one exists already).
class NetworkApplication {
 public:
  NetworkApplication() {
    static int argc = 1;
    static char name[] = "kestrolan-db";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
      app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
  }
  NetworkApplication(const NetworkApplication&) = delete;
  NetworkApplication& operator=(const NetworkApplication&) = delete;

 private:
  std::unique_ptr<QCoreApplication> app_;
};

struct FetchArgs {
  std::string url;
  int port = HttpGetOptions().port;
  std::string outPath;
};

int RunFetch(const FetchArgs& args) {
  const NetworkApplication app;

  HttpGetOptions options;
  options.port = static_cast<quint16>(args.port);
  const QByteArray body = HttpGet(QByteArray::fromStdString(args.url), options);
  if (body.isEmpty()) {
    std::fprintf(stderr, "Download of %s failed\n", PrintableText(args.url).c_str());
    return kExitFailure;
  }
  const Status written = platform::WriteOutputFile(
      args.outPath, std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
  if (!written.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", written.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

struct CheckArgs {
  std::string host = BuiltInUpdateHost().toStdString();
  int port = HttpGetOptions().port;
  ReleaseKey key = BuiltInReleaseKey();
};

// A field of the server's version list, safe to print on a terminal.
std::string Shown(const QByteArray& field) {
  return PrintableText(std::string_view(field.constData(), static_cast<std::size_t>(field.size())));
}

void PrintDecision(const UpdateDecision& decision) {
  switch (decision.kind) {
    case UpdateDecision::Kind::kNotFound:
      std::printf("No update found\n");
      return;
    case UpdateDecision::Kind::kUpToDate:
      std::printf("Your program is up to date\n");
      return;
    case UpdateDecision::Kind::kNewer:
      std::printf("New version present: %s %s, dated %s, archive %s\n", AppName,
                  Shown(decision.version).c_str(), Shown(decision.date).c_str(),
                  Shown(decision.file).c_str());
      return;
  }
}

// Fetches the archive at `archiveUrl` and its release signature as the update check does and
// tells whether the check would install it: kExitSuccess when the signature verifies with `key`.
int CheckSignature(const QByteArray& archiveUrl, quint16 port, const ReleaseKey& key) {
  HttpGetOptions options;
  options.port = port;
  const std::optional<QByteArray> archive = FetchBlock(archiveUrl, options);
  if (!archive) {
    std::fprintf(stderr, "Download of %s failed\n", Shown(archiveUrl).c_str());
    return kExitFailure;
  }
  const std::optional<QByteArray> signature = FetchSignature(archiveUrl, options);
  if (signature && VerifyReleaseSignature(*archive, *signature, key)) {
    std::printf("The release signature verifies\n");
    return kExitSuccess;
  }
  const QString reason = signature ? SignatureRefusal(*signature) : kSignatureNotFetched;
  std::printf("The archive would be refused: %s\n", reason.toUtf8().constData());
  return kExitFailure;
}

int RunCheckUpdate(const CheckArgs& args) {
  const NetworkApplication app;

  HttpGetOptions options;
  options.port = static_cast<quint16>(args.port);
  options.deadlineMs = kVersionListDeadlineMs;
  const QByteArray listUrl = VersionListUrl(QByteArray::fromStdString(args.host));
  const std::optional<QByteArray> list = FetchBlock(listUrl, options);
  if (!list) {
    std::fprintf(stderr, "Download of %s failed\n", listUrl.constData());
    return kExitFailure;
  }
  const UpdateDecision decision = DecideUpdate(*list, AppName, AppVersion);
  PrintDecision(decision);
  if (decision.kind != UpdateDecision::Kind::kNewer) return kExitSuccess;
  return CheckSignature(ArchiveUrl(QByteArray::fromStdString(args.host), decision.file),
                        static_cast<quint16>(args.port), args.key);
}

CommandRun DefineFetch(CLI::App& app) {
  auto args = std::make_shared<FetchArgs>();
  app.add_option("URL", args->url, "host and path, as the update check names them")
      ->required()
      ->check(kNotEmpty);
  app.add_option("--port", args->port, "the server's TCP port (default 80)")->check(kPortRange);
  app.add_option("-o", args->outPath, "where the body goes (- for standard output)")
      ->required()
      ->check(kNotEmpty);
  return [args] { return RunFetch(*args); };
}

CommandRun DefineCheckUpdate(CLI::App& app) {
  auto args = std::make_shared<CheckArgs>();
  app.add_option("--host", args->host, "the update server's host (default: the built-in one)")
      ->check(kNotEmpty);
  app.add_option("--port", args->port, "the server's TCP port (default 80)")->check(kPortRange);
  app.add_option_function<std::string>(
      "--key",
      [args](const std::string& hex) {
        const std::optional<ReleaseKey> key = ParseReleaseKey(hex);
        if (!key) {
          throw CLI::ValidationError("--key", "a release public key is 64 hexadecimal digits");
        }
        args->key = *key;
      },
      "the release public key to verify with, 64 hexadecimal digits (default: the built-in one)");
  return [args] { return RunCheckUpdate(*args); };
}

}  // namespace

extern const Command kFetchCommand = {
    "fetch", "URL [--port N] -o FILE",
    "fetches URL over HTTP exactly as the update check does (port 80 unless --port names "
    "another) and writes the body to FILE",
    DefineFetch};

extern const Command kCheckUpdateCommand = {
    "check-update", "[--host H] [--port N] [--key HEX]",
    "fetches the version list from the update server (the built-in one on port 80 unless "
    "--host and --port name another) and tells what the update check would decide; for a newer "
    "version also fetches its archive and ARCHIVE.sig and tells whether the signature verifies "
    "with the built-in release key (or the public key HEX, 64 hexadecimal digits), installing "
    "nothing",
    DefineCheckUpdate};
