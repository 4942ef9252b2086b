// kestrolan-db check-update: tells what the program's update check would decide, installing
// nothing, so administrators and scripts can watch the update server.
#include <QByteArray>
#include <cstdio>
#include <optional>
#include <string>

#include "app/app_identity.h"
#include "tools/commands.h"
#include "tools/network_support.h"
#include "update/fetch_block.h"
#include "update/update_check.h"
#include "update/update_decision.h"

namespace {

constexpr char kVersionListPath[] = "/software/lastversions.txt";

struct CheckArgs {
  QByteArray host = BuiltInUpdateHost();
  quint16 port = HttpGetOptions().port;
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
    } else {
      return {};
    }
    ++i;
  }
  return parsed;
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
                  decision.version.constData(), decision.date.constData(),
                  decision.file.constData());
      return;
  }
}

int RunCheckUpdate(const CommandArgs& args) {
  const std::optional<CheckArgs> parsed = ParseCheckArgs(args);
  if (!parsed) return UsageError(CommandNamed("check-update"));

  const NetworkApplication app;

  HttpGetOptions options;
  options.port = parsed->port;
  const QByteArray listUrl = parsed->host + kVersionListPath;
  const std::optional<QByteArray> list = FetchBlock(listUrl, options);
  if (!list) {
    std::fprintf(stderr, "Download of %s failed\n", listUrl.constData());
    return 1;
  }
  PrintDecision(DecideUpdate(*list, AppName, AppVersion));
  return 0;
}

}  // namespace

extern const Command kCheckUpdateCommand = {
    "check-update", "[--host H] [--port N]",
    "fetches the version list from the update server (the built-in one on port 80 unless "
    "--host and --port name another) and tells what the update check would decide, installing "
    "nothing",
    RunCheckUpdate};
