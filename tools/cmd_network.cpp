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
#include "radardb/app_identity.h"
#include "radardb/utf8_text.h"
#include "tools/commands.h"
#include "update/http_get.h"
#include "update/release_signature.h"
#include "update/update_check.h"
#include "update/version_list.h"

namespace {
constexpr unsigned long kMaxPort = 65535;
constexpr std::size_t kMaxPortDigits = 5;

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

// A TCP port from 1 to 65535 written in decimal, or nullopt.
std::optional<quint16> ParsePort(const std::string& text) {
  if (text.empty() || text.size() > kMaxPortDigits) return {};
  if (text.find_first_not_of("0123456789") != std::string::npos) return {};
  const unsigned long port = std::stoul(text);
  if (port == 0 || port > kMaxPort) return {};
  return static_cast<quint16>(port);
}

struct FetchArgs {
  std::string url;
  quint16 port = HttpGetOptions().port;
  std::string outPath;
};

std::optional<FetchArgs> ParseFetchArgs(const CommandArgs& args) {
  FetchArgs parsed;
  bool haveUrl = false;
  bool haveOut = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--port" && hasValue) {
      const std::optional<quint16> port = ParsePort(args[++i]);
      if (!port) return {};
      parsed.port = *port;
    } else if (arg == "-o" && hasValue && !haveOut) {
      parsed.outPath = args[++i];
      haveOut = !parsed.outPath.empty();
    } else if (!haveUrl && !arg.empty() && arg[0] != '-') {
      parsed.url = arg;
      haveUrl = true;
    } else {
      return {};
    }
  }
  if (!haveUrl || !haveOut) return {};
  return parsed;
}

int RunFetch(const CommandArgs& args) {
  const std::optional<FetchArgs> parsed = ParseFetchArgs(args);
  if (!parsed) return UsageError(CommandNamed("fetch"));

  const NetworkApplication app;

  HttpGetOptions options;
  options.port = parsed->port;
  const QByteArray body = HttpGet(QByteArray::fromStdString(parsed->url), options);
  if (body.isEmpty()) {
    std::fprintf(stderr, "Download of %s failed\n", parsed->url.c_str());
    return 1;
  }
  const Status written = platform::WriteOutputFile(
      parsed->outPath, std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
  if (!written.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", written.message().c_str());
    return 1;
  }
  return 0;
}

struct CheckArgs {
  QByteArray host = BuiltInUpdateHost();
  quint16 port = HttpGetOptions().port;
  ReleaseKey key = BuiltInReleaseKey();
};

std::optional<CheckArgs> ParseCheckArgs(const CommandArgs& args) {
  CheckArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i + 1 == args.size()) return {};
    const std::string& value = args[i + 1];
    if (args[i] == "--host" && !value.empty()) {
      parsed.host = QByteArray::fromStdString(value);
    } else if (args[i] == "--port") {
      const std::optional<quint16> port = ParsePort(value);
      if (!port) return {};
      parsed.port = *port;
    } else if (args[i] == "--key") {
      const std::optional<ReleaseKey> key = ParseReleaseKey(value);
      if (!key) return {};
      parsed.key = *key;
    } else {
      return {};
    }
    ++i;
  }
  return parsed;
}

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
// tells whether the check would install it: 0 when the signature verifies with `key`.
int CheckSignature(const QByteArray& archiveUrl, quint16 port, const ReleaseKey& key) {
  HttpGetOptions options;
  options.port = port;
  const std::optional<QByteArray> archive = FetchBlock(archiveUrl, options);
  if (!archive) {
    std::fprintf(stderr, "Download of %s failed\n", Shown(archiveUrl).c_str());
    return 1;
  }
  const std::optional<QByteArray> signature = FetchSignature(archiveUrl, options);
  if (signature && VerifyReleaseSignature(*archive, *signature, key)) {
    std::printf("The release signature verifies\n");
    return 0;
  }
  const QString reason = signature ? SignatureRefusal(*signature) : kSignatureNotFetched;
  std::printf("The archive would be refused: %s\n", reason.toUtf8().constData());
  return 1;
}

int RunCheckUpdate(const CommandArgs& args) {
  const std::optional<CheckArgs> parsed = ParseCheckArgs(args);
  if (!parsed) return UsageError(CommandNamed("check-update"));

  const NetworkApplication app;

  HttpGetOptions options;
  options.port = parsed->port;
  options.deadlineMs = kVersionListDeadlineMs;
  const QByteArray listUrl = VersionListUrl(parsed->host);
  const std::optional<QByteArray> list = FetchBlock(listUrl, options);
  if (!list) {
    std::fprintf(stderr, "Download of %s failed\n", listUrl.constData());
    return 1;
  }
  const UpdateDecision decision = DecideUpdate(*list, AppName, AppVersion);
  PrintDecision(decision);
  if (decision.kind != UpdateDecision::Kind::kNewer) return 0;
  return CheckSignature(ArchiveUrl(parsed->host, decision.file), parsed->port, parsed->key);
}

}  // namespace

extern const Command kFetchCommand = {
    "fetch", "URL [--port N] -o FILE",
    "fetches URL over HTTP exactly as the update check does (port 80 unless --port names "
    "another) and writes the body to FILE",
    RunFetch};

extern const Command kCheckUpdateCommand = {
    "check-update", "[--host H] [--port N] [--key HEX]",
    "fetches the version list from the update server (the built-in one on port 80 unless "
    "--host and --port name another) and tells what the update check would decide; for a newer "
    "version also fetches its archive and ARCHIVE.sig and tells whether the signature verifies "
    "with the built-in release key (or the public key HEX, 64 hexadecimal digits), installing "
    "nothing",
    RunCheckUpdate};
