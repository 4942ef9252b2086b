#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "update/update_check.h"

class Kestrolan;

// What start-up does with the window. `load` gets each database path (a copy); `checkUpdate`
// offers the update and returns true when the program must end at once.
struct StartupActions {
  std::function<void(QString)> load;
  std::function<bool()> checkUpdate;
};

// Walks the command-line arguments (without the program's name) in order: each database that
// ParseCommandLine finds goes to `load`, an empty one included (the switch kNoCheckSwitch and the
// options are not databases). With no argument at all the update is offered instead. Returns
// false when the program must end without showing its window (an update was installed), true
// when the window is to run.
bool WalkArguments(const QStringList& arguments, const StartupActions& actions);

// The viewer's start-up on its window: walks `arguments` as above with the window's
// LoadRadarFile and, only when `offerUpdate`, its CheckUpdate; without it an empty command line
// simply leads to the window. The program passes whether it was built with the update check.
bool StartWindow(Kestrolan& window, const QStringList& arguments, bool offerUpdate);
