#pragma once

#include <QByteArray>
#include <QString>

// The running executable's full path cut after its last folder separator ('/', and on Windows
// also '\\'): `directory` keeps the separator and is empty when the path has none.
struct ExecutableLocation {
  QString directory;
  QString name;
};
ExecutableLocation SplitExecutablePath(const QString& executablePath);

// True when an archive's stored path names a place inside the folder it is installed into: not
// empty, not absolute, no drive letter ("C:..."), no backslash and no ".." component.
bool IsSafeStoredPath(const QByteArray& storedPath);
