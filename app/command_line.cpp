#include "app/command_line.h"

#include <QCoreApplication>

#include "update/app_identity.h"
#include "update/update_check.h"

using namespace update;

namespace {

constexpr char kEndOfOptions[] = "--";

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  line.offerUpdate = arguments.isEmpty();
  bool options = true;
  for (const QString& argument : arguments) {
    if (options) {
      if (argument == QLatin1String(kEndOfOptions)) {
        options = false;
        continue;
      }
      if (argument == QLatin1String(kNoCheckSwitch)) continue;
      const bool usage = argument == QLatin1String("--help") || argument == QLatin1String("-h");
      if (usage || argument == QLatin1String("--version")) {
        line.request =
            usage ? CommandLine::Request::kPrintUsage : CommandLine::Request::kPrintVersion;
        line.databases.clear();
        return line;
      }
    }
    line.databases << argument;
  }
  return line;
}

QString UsageText() {
  return QCoreApplication::translate(
      "CommandLine",
      "Usage: kestrolan [OPTION...] [DATABASE...]\n"
      "Shows radar databases (radar.lzw, dangerz.lzw) as a table; each DATABASE is loaded in\n"
      "order before the window opens.\n"
      "\n"
      "  -nocheck     start without offering the update check (any argument skips it)\n"
      "  -h, --help   print this help and exit\n"
      "  --version    print the version and exit\n"
      "  --           end of options: every argument after it is a DATABASE\n"
      "\n"
      "Any other argument is a DATABASE, one that starts with \"-\" included.\n");
}

QString VersionText() { return QStringLiteral("%1 %2 (%3)\n").arg(AppName, AppVersion, AppDate); }
