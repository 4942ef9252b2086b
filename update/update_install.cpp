#include "update/update_install.h"

#include <QFileInfo>
#include <QList>
#include <array>
#include <string>

#include "platform/file_ops.h"
#include "update/message_prompts.h"
#include "update/zip_reader.h"

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

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void ReportEntry(MessagePrompts& prompts, const std::string& storedPath) {
  prompts.Information("Error creating file : " + QString::fromUtf8(storedPath));
}

bool WriteAll(QFile& file, const char* data, size_t size) {
  return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
}

enum class EntryResult { kInstalled, kSkipped, kStop };

// Installs the entry the reader stands on. kSkipped and kStop have been reported.
EntryResult InstallEntry(ZipReader& reader, const ZipEntry& entry, const QString& directory,
                         MessagePrompts& prompts) {
  const QByteArray storedPath = QByteArray::fromStdString(entry.path);
  if (entry.kind != ZipEntryKind::kFile || !IsSafeStoredPath(storedPath)) {
    ReportEntry(prompts, entry.path);
    return reader.Skip() ? EntryResult::kSkipped : EntryResult::kStop;
  }
  const auto fill = [&reader](QFile& file) {
    return reader.Extract(
        [&file](const char* data, size_t size) { return WriteAll(file, data, size); });
  };
  switch (ReplaceFile(directory + QFile::decodeName(storedPath), entry.mode, fill)) {
    case ReplaceResult::kReplaced:
      return EntryResult::kInstalled;
    case ReplaceResult::kNotCreated:
      ReportEntry(prompts, entry.path);
      return reader.Skip() ? EntryResult::kSkipped : EntryResult::kStop;
    case ReplaceResult::kNotFilled:
      break;
  }
  ReportEntry(prompts, entry.path);
  return EntryResult::kStop;
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

bool IsSafeStoredPath(const QByteArray& storedPath) {
  if (storedPath.isEmpty() || storedPath.front() == '/' || storedPath.contains('\\')) return false;
  if (storedPath.size() >= 2 && IsAsciiLetter(storedPath[0]) && storedPath[1] == ':') return false;
  const QList<QByteArray> components = storedPath.split('/');
  return !components.contains("..");
}

InstallResult InstallArchive(const QByteArray& archive, const QString& directory,
                             MessagePrompts& prompts) {
  ZipReader reader(archive.constData(), static_cast<size_t>(archive.size()));
  ZipEntry entry;
  ZipReader::Step step = reader.Next(entry);
  if (step != ZipReader::Step::kEntry) return InstallResult::kNotAnArchive;

  bool success = true;
  for (; step == ZipReader::Step::kEntry; step = reader.Next(entry)) {
    const EntryResult result = InstallEntry(reader, entry, directory, prompts);
    if (result != EntryResult::kInstalled) success = false;
    if (result == EntryResult::kStop) return InstallResult::kFailed;
  }
  if (step == ZipReader::Step::kFailed) {
    // A header that cannot be read: the entries behind it are lost, so the update is incomplete.
    ReportEntry(prompts, entry.path);
    success = false;
  }
  return success ? InstallResult::kInstalled : InstallResult::kFailed;
}
