#include "app/startup.h"

#include "app/command_line.h"
#include "app/kestrolan.h"

bool WalkArguments(const QStringList& arguments, const StartupActions& actions) {
  const CommandLine line = ParseCommandLine(arguments);
  if (line.offerUpdate) return !actions.checkUpdate();
  for (const QString& database : line.databases) actions.load(database);
  return true;
}

bool StartWindow(Kestrolan& window, const QStringList& arguments, bool offerUpdate) {
  const StartupActions actions{
      [&window](QString path) { window.LoadRadarFile(std::move(path)); },
      [&window, offerUpdate] { return offerUpdate && window.CheckUpdate(); },
  };
  return WalkArguments(arguments, actions);
}
