#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class Prompts;
class TransferProgress;

// Where the update check looks and what it replaces. The program fills it with the built-in
// server host, port 80 and its own executable; tests inject a local server and a program folder.
struct UpdateEnvironment {
  Prompts& prompts;
  QByteArray host;            // update server host name, without scheme or port
  quint16 port = 80;
  QString executablePath;     // full path of the running executable
  TransferProgress* progress = nullptr;
};

// The update server host built into the program.
QByteArray BuiltInUpdateHost();

// Asks "Check for program updates ?"; on Yes runs the update for this program's name and
// version with restart. Returns true only when an update was installed and the new executable
// started, so the program must end at once.
bool OfferUpdate(const UpdateEnvironment& env);
