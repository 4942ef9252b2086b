#include "update/update_replace_file.h"

#include <QFileInfo>
#include <array>
#include <string>

#include "platform/file_ops.h"

namespace {

// The suffix of a backup, appended to the whole file name.
constexpr char kBackupSuffix[] = ".OLD";
// A new file never becomes writable for group or others, whatever the archive says.
constexpr unsigned kNewFileModeMask = 0755;

struct PermissionBit {
  unsigned mode;
  QFileDevice::Permission permission;
};
constexpr std::array<PermissionBit, 9> kPermissionBits = {{
    {0400, QFileDevice::ReadOwner},
    {0200, QFileDevice::WriteOwner},
    {0100, QFileDevice::ExeOwner},
    {0040, QFileDevice::ReadGroup},
    {0020, QFileDevice::WriteGroup},
    {0010, QFileDevice::ExeGroup},
    {0004, QFileDevice::ReadOther},
    {0002, QFileDevice::WriteOther},
    {0001, QFileDevice::ExeOther},
}};

QFileDevice::Permissions PermissionsOfMode(unsigned mode) {
  QFileDevice::Permissions permissions;
  for (const PermissionBit& bit : kPermissionBits) {
    if (mode & bit.mode) permissions |= bit.permission;
  }
  return permissions;
}

// The owner, group and other bits of an existing file; the "user" flags describe the calling
// user's access rather than the file and are left out.
QFileDevice::Permissions OwnPermissions(const QString& path) {
  QFileDevice::Permissions kept;
  const QFileDevice::Permissions all = QFile::permissions(path);
  for (const PermissionBit& bit : kPermissionBits) {
    if (all & bit.permission) kept |= bit.permission;
  }
  return kept;
}

std::string NativeBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Removes whatever was written to `target` and, when this installation made the backup, moves
// the backup back.
void PutBackupBack(const QString& target, const QString& backup, bool movedToBackup) {
  platform::DeleteFile(NativeBytes(target));
  if (movedToBackup) platform::MoveFile(NativeBytes(backup), NativeBytes(target));
}

}  // namespace

ReplaceResult ReplaceFile(const QString& target, unsigned newFileMode,
                          const std::function<bool(QFile& file)>& fill) {
  const QFileInfo existing(target);
  const bool exists = existing.exists() || existing.isSymLink();
  if (exists && (existing.isSymLink() || !existing.isFile())) return ReplaceResult::kNotCreated;
  const QFileDevice::Permissions permissions =
      exists ? OwnPermissions(target) : PermissionsOfMode(newFileMode & kNewFileModeMask);

  const QString backup = target + kBackupSuffix;
  // Failures of these two are harmless: no earlier backup, or no file to replace; when the move
  // fails for another reason the file is replaced in place.
  platform::DeleteFile(NativeBytes(backup));
  const bool movedToBackup = platform::MoveFile(NativeBytes(target), NativeBytes(backup));

  QFile file(target);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (movedToBackup) platform::MoveFile(NativeBytes(backup), NativeBytes(target));
    return ReplaceResult::kNotCreated;
  }
  const bool filled = fill(file) && file.flush() && file.setPermissions(permissions);
  file.close();
  if (!filled || file.error() != QFileDevice::NoError) {
    PutBackupBack(target, backup, movedToBackup);
    return ReplaceResult::kNotFilled;
  }
  return ReplaceResult::kReplaced;
}
