#include "app/startup.h"

#include "app/kestrolan.h"

using namespace update;

bool WalkArguments(const QStringList& arguments, const StartupActions& actions) {
  if (arguments.isEmpty()) return !actions.checkUpdate();
  const QString noCheck = QString::fromLatin1(kNoCheckSwitch);
  for (const QString& argument : arguments) {
    if (argument == noCheck) continue;
    actions.load(argument);
  }
  return true;
}

bool StartWindow(Kestrolan& window, const QStringList& arguments, bool offerUpdate) {
  const StartupActions actions{
      [&window](QString path) { window.LoadRadarFile(std::move(path)); },
      [&window, offerUpdate] { return offerUpdate && window.CheckUpdate(); },
  };
  return WalkArguments(arguments, actions);
}
