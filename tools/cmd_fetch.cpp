// kestrolan-db fetch: fetches a URL the way the update check does, so an administrator can test
// the update server from a shell.
#include <QByteArray>
#include <cstdio>
#include <optional>
#include <string>

#include "tools/commands.h"
#include "tools/network_support.h"
#include "tools/output_file.h"
#include "update/http_get.h"

namespace {

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
  std::string error;
  if (!WriteOutputFile(parsed->outPath, std::string_view(body.constData(), body.size()), error)) {
    std::fprintf(stderr, "kestrolan-db: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kFetchCommand = {
    "fetch", "URL [--port N] -o FILE",
    "fetches URL over HTTP exactly as the update check does (port 80 unless --port names "
    "another) and writes the body to FILE",
    RunFetch};
