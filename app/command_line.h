#pragma once

#include <QString>
#include <QStringList>

// What the viewer's command line asks for. Every argument belongs to the program: Qt sees none.
struct CommandLine {
  enum class Request { kRunWindow, kPrintUsage, kPrintVersion };
  Request request = Request::kRunWindow;
  // The databases to load before the window opens, in order.
  QStringList databases;
  // Only an empty command line offers the update; any argument at all skips the offer.
  bool offerUpdate = true;
};

// Reads the arguments (without the program's name), in order. Before a "--": "--help" or "-h"
// asks for the usage and "--version" for the version (the first of these wins, and nothing is
// loaded); the exact switch "-nocheck" is skipped; the first "--" is dropped. Every other
// argument is a database path: an empty one, one in other letters ("-NOCHECK"), one starting
// with "-" ("-x"), and everything after the "--", so that a file named "-nocheck" or "--help" can
// be opened too.
CommandLine ParseCommandLine(const QStringList& arguments);

// What "--help" prints: how to call the viewer and each option, lines ended by "\n".
QString UsageText();
// What "--version" prints: "Kestrolan v01.01 (02/09/2012)\n".
QString VersionText();
