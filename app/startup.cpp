#include "app/startup.h"

bool WalkArguments(const QStringList& arguments, const StartupActions& actions) {
  if (arguments.isEmpty()) return !actions.checkUpdate();
  const QString noCheck = QString::fromLatin1(kNoCheckSwitch);
  for (const QString& argument : arguments) {
    if (argument == noCheck) continue;
    actions.load(argument);
  }
  return true;
}
