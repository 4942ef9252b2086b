#include "update/update_install.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/stored_path.h"
#include "update/message_prompts.h"
#include "update/zip_reader.h"

namespace update {

namespace {

// The suffix of a backup, appended to the whole file name.
constexpr char kBackupSuffix[] = ".OLD";
// A new file never becomes writable for group or others, whatever the archive says.
constexpr unsigned kNewFileModeMask = 0755;
// An installation leaves at least this much free space on the program folder's file system.
constexpr qint64 kSpareBytes = qint64(64) << 20;
constexpr qint64 kBytesPerMiB = qint64(1) << 20;
// The new file's name beside its target: "." + target name + this suffix, then "-1", "-2" ...
// when an earlier one was left behind.
constexpr char kNewFileSuffix[] = ".new";
constexpr int kNewFileNameAttempts = 100;

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

// True when something is there, a dangling symbolic link included.
bool Exists(const QFileInfo& info) { return info.exists() || info.isSymLink(); }

// Creates `file` new beside `target`, under a name no file has. The exclusive creation fails on
// anything already there, a symbolic link included, so nothing is ever opened through a link.
bool CreateBeside(const QString& target, QFile& file) {
  const QFileInfo info(target);
  const QString base = info.path() + "/." + info.fileName() + kNewFileSuffix;
  for (int attempt = 0; attempt < kNewFileNameAttempts; ++attempt) {
    file.setFileName(attempt == 0 ? base : base + "-" + QString::number(attempt));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return true;
    if (!Exists(QFileInfo(file.fileName()))) return false;
  }
  return false;
}

void ReportEntry(MessagePrompts& prompts, const std::string& storedPath) {
  prompts.Information(QCoreApplication::translate("Update", "Error creating file : %1")
                          .arg(QString::fromUtf8(storedPath)));
}

// The stored path as the file system resolves it, "." and empty components dropped, so that
// "a.txt" and "./a.txt" count as one name.
std::string ResolvedName(const QByteArray& storedPath) {
  std::string name;
  for (const QByteArray& component : storedPath.split('/')) {
    if (component.isEmpty() || component == ".") continue;
    if (!name.empty()) name += '/';
    name += component.toStdString();
  }
  return name;
}

// True when a folder on the way from `directory` to the stored path's file is a symbolic link
// (or, on Windows, a junction): a write there could land outside the program folder.
bool PassesThroughLink(const QString& directory, const QByteArray& storedPath) {
  for (qsizetype slash = storedPath.indexOf('/'); slash >= 0;
       slash = storedPath.indexOf('/', slash + 1)) {
    const QFileInfo folder(directory + QFile::decodeName(storedPath.left(slash)));
    if (folder.isSymLink() || folder.isJunction()) return true;
  }
  return false;
}

// The bound on the bytes one installation into `directory` writes.
qint64 WriteBound(const QString& directory, qint64 maxWrittenBytes) {
  const std::optional<std::uint64_t> available =
      platform::AvailableBytes(NativeBytes(directory.isEmpty() ? QStringLiteral(".") : directory));
  if (!available) return maxWrittenBytes;
  const auto spare = static_cast<std::uint64_t>(kSpareBytes);
  const std::uint64_t usable = *available > spare ? *available - spare : 0;
  return static_cast<qint64>(std::min(usable, static_cast<std::uint64_t>(maxWrittenBytes)));
}

// One installation: what it has written and replaced so far, so that passing the bound can put
// everything back.
class Installation {
 public:
  enum class Outcome { kInstalled, kSkipped, kStop, kBoundPassed };

  Installation(const QString& directory, MessagePrompts& prompts, qint64 bound)
      : directory_(directory), prompts_(prompts), bound_(bound) {}

  // Installs the entry the reader stands on. Every outcome but kInstalled has been reported.
  Outcome Install(ZipReader& reader, const ZipEntry& entry);

  // Puts back every file this installation replaced or created, last first.
  void Undo();

 private:
  struct Placed {
    QString target;
    ReplaceResult how;
  };

  Outcome Refuse(ZipReader& reader, const ZipEntry& entry) {
    ReportEntry(prompts_, entry.path);
    return reader.Skip() ? Outcome::kSkipped : Outcome::kStop;
  }

  const QString directory_;
  MessagePrompts& prompts_;
  const qint64 bound_;
  qint64 written_ = 0;
  std::set<std::string> seen_;
  std::vector<Placed> placed_;
};

Installation::Outcome Installation::Install(ZipReader& reader, const ZipEntry& entry) {
  const QByteArray storedPath = QByteArray::fromStdString(entry.path);
  // A second entry for the same file would take the place of its backup.
  const bool seenBefore = !seen_.insert(ResolvedName(storedPath)).second;
  if (seenBefore || entry.kind != ZipEntryKind::kFile || !platform::IsSafeStoredPath(entry.path) ||
      PassesThroughLink(directory_, storedPath)) {
    return Refuse(reader, entry);
  }
  bool boundPassed = false;
  const auto fill = [&](QFile& file) {
    return reader.Extract([&](const char* data, size_t size) {
      const auto bytes = static_cast<qint64>(size);
      if (bytes > bound_ - written_) {
        boundPassed = true;
        return false;
      }
      written_ += bytes;
      return file.write(data, bytes) == bytes;
    });
  };
  const QString target = directory_ + QFile::decodeName(storedPath);
  const ReplaceResult result = ReplaceFile(target, entry.mode, fill);
  switch (result) {
    case ReplaceResult::kCreated:
    case ReplaceResult::kReplaced:
    case ReplaceResult::kReplacedWithoutBackup:
      placed_.push_back({target, result});
      return Outcome::kInstalled;
    case ReplaceResult::kNotCreated:
      return Refuse(reader, entry);
    case ReplaceResult::kNotFilled:
      break;
  }
  ReportEntry(prompts_, entry.path);
  return boundPassed ? Outcome::kBoundPassed : Outcome::kStop;
}

void Installation::Undo() {
  for (auto it = placed_.rbegin(); it != placed_.rend(); ++it) {
    const std::string target = NativeBytes(it->target);
    switch (it->how) {
      case ReplaceResult::kCreated:
        platform::DeleteFile(target);
        break;
      case ReplaceResult::kReplaced:
        platform::MoveFileReplacing(target + kBackupSuffix, target);
        break;
      case ReplaceResult::kReplacedWithoutBackup:  // the old content is gone already
      case ReplaceResult::kNotCreated:
      case ReplaceResult::kNotFilled:
        break;
    }
  }
  placed_.clear();
}

}  // namespace

qint64 BuiltInMaxInstallBytes() { return qint64{KESTROLAN_MAX_INSTALL_MIB} * kBytesPerMiB; }

ReplaceResult ReplaceFile(const QString& target, unsigned newFileMode,
                          const std::function<bool(QFile& file)>& fill) {
  const QFileInfo existing(target);
  const bool exists = Exists(existing);
  if (exists && (existing.isSymLink() || !existing.isFile())) return ReplaceResult::kNotCreated;
  const QFileDevice::Permissions permissions =
      exists ? OwnPermissions(target) : PermissionsOfMode(newFileMode & kNewFileModeMask);

  QFile file;
  if (!CreateBeside(target, file)) return ReplaceResult::kNotCreated;
  const bool filled = fill(file) && file.flush() && file.setPermissions(permissions);
  file.close();
  if (!filled || file.error() != QFileDevice::NoError) {
    file.remove();
    return ReplaceResult::kNotFilled;
  }

  const std::string newFile = NativeBytes(file.fileName());
  const std::string current = NativeBytes(target);
  const std::string backup = current + kBackupSuffix;
  // Failures of these two are harmless: no earlier backup, or no file to replace.
  platform::DeleteFile(backup);
  const bool backedUp = exists && platform::MoveFile(current, backup);
  if (!exists || backedUp) {
    if (platform::MoveFile(newFile, current)) {
      return exists ? ReplaceResult::kReplaced : ReplaceResult::kCreated;
    }
    if (backedUp) platform::MoveFile(backup, current);
  } else if (platform::MoveFileReplacing(newFile, current)) {
    return ReplaceResult::kReplacedWithoutBackup;
  }
  platform::DeleteFile(newFile);
  return ReplaceResult::kNotCreated;
}

InstallResult InstallArchive(const QByteArray& archive, const QByteArray& signature,
                             const ReleaseKey& key, const QString& directory,
                             MessagePrompts& prompts, qint64 maxWrittenBytes) {
  if (!VerifyReleaseSignature(archive, signature, key)) return InstallResult::kNotSigned;
  ZipReader reader(archive.constData(), static_cast<size_t>(archive.size()));
  if (reader.EntryCount() == 0) return InstallResult::kNotAnArchive;

  Installation installation(directory, prompts, WriteBound(directory, maxWrittenBytes));
  bool success = true;
  ZipEntry entry;
  ZipReader::Step step = reader.Next(entry);
  for (; step == ZipReader::Step::kEntry; step = reader.Next(entry)) {
    switch (installation.Install(reader, entry)) {
      case Installation::Outcome::kInstalled:
        break;
      case Installation::Outcome::kSkipped:
        success = false;
        break;
      case Installation::Outcome::kStop:
        return InstallResult::kFailed;
      case Installation::Outcome::kBoundPassed:
        installation.Undo();
        return InstallResult::kFailed;
    }
  }
  if (step == ZipReader::Step::kFailed) {
    // A header that cannot be read or disagrees with the directory: the update is incomplete.
    ReportEntry(prompts, entry.path);
    success = false;
  }
  return success ? InstallResult::kInstalled : InstallResult::kFailed;
}

}  // namespace update
