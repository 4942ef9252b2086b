#include "update/update_paths.h"

#include <QList>

namespace {

bool IsSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'/' || c == u'\\';
#else
  return c == u'/';
#endif
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

ExecutableLocation SplitExecutablePath(const QString& executablePath) {
  qsizetype cut = executablePath.size();
  while (cut > 0 && !IsSeparator(executablePath[cut - 1])) --cut;
  return {executablePath.left(cut), executablePath.mid(cut)};
}

bool IsSafeStoredPath(const QByteArray& storedPath) {
  if (storedPath.isEmpty() || storedPath.front() == '/' || storedPath.contains('\\')) return false;
  if (storedPath.size() >= 2 && IsAsciiLetter(storedPath[0]) && storedPath[1] == ':') return false;
  const QList<QByteArray> components = storedPath.split('/');
  return !components.contains("..");
}
