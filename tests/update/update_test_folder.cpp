#include "tests/update/update_test_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr unsigned kPermissionBits = 0777;

}  // namespace

bool PlaceFiles(const QString& root, const std::vector<TestFile>& files) {
  for (const TestFile& file : files) {
    const QString path = root + "/" + QString::fromStdString(file.path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray content = QByteArray::fromStdString(file.content);
    if (out.write(content) != content.size()) return false;
    out.close();
    if (::chmod(QFile::encodeName(path).constData(), file.mode) != 0) return false;
  }
  return true;
}

bool PlaceLinks(const QString& root, const std::vector<TestLink>& links) {
  for (const TestLink& link : links) {
    const QByteArray path = QFile::encodeName(root + "/" + QString::fromStdString(link.path));
    const QByteArray target =
        link.hard ? QFile::encodeName(root + "/" + QString::fromStdString(link.target))
                  : QByteArray::fromStdString(link.target);
    const int made = link.hard ? ::link(target.constData(), path.constData())
                               : ::symlink(target.constData(), path.constData());
    if (made != 0) return false;
  }
  return true;
}

std::map<std::string, std::string> FilesUnder(const QString& root) {
  std::map<std::string, std::string> files;
  const QDir base(root);
  QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    const std::string relative = base.relativeFilePath(path).toStdString();
    if (info.isSymLink()) {
      files[relative] = "-> " + info.symLinkTarget().toStdString();
      continue;
    }
    QFile in(path);
    files[relative] = in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : "<unreadable>";
  }
  return files;
}

unsigned ModeOf(const QString& path) {
  struct stat status {};
  if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return 0;
  return static_cast<unsigned>(status.st_mode) & kPermissionBits;
}
