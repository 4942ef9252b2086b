#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "update/release_signature.h"

namespace update {

class MessagePrompts;

// Installing an update archive into the program folder, each replaced file kept as a backup.

enum class InstallResult {
  kNotSigned,     // `signature` is not the release signature of `archive`; nothing was touched
  kNotAnArchive,  // `archive` is not a readable ZIP archive or holds no entry; nothing was touched
  kInstalled,     // every entry was installed
  kFailed,        // at least one entry was not installed; each was reported
};

// The most bytes one installation writes, as built (KESTROLAN_MAX_INSTALL_MIB, 512 MiB unless
// the build says otherwise).
qint64 BuiltInMaxInstallBytes();

// Installs the entries of the ZIP archive `archive`, in archive order, as files in `directory`
// (the program folder, ending with its separator; empty for the current folder), each replacing
// the file of its name with a ".OLD" backup (see ReplaceFile). The archive is opened only when
// `signature` is its release signature by `key` (see VerifyReleaseSignature); otherwise nothing
// is read, written, moved or shown, and the result is kNotSigned.
//
// An entry that is not a plain file (a folder, a symbolic link, a FIFO, a device), whose stored
// path would leave `directory`, holds a NUL byte, passes through a folder that is a symbolic
// link, or names the same file as an earlier entry of the archive, and an entry whose
// file cannot be created, is reported as "Error creating file : " + its stored path, and
// installation goes on with the next entry. An entry that cannot be read or written is reported
// the same way, leaves its file as it was, and ends the installation; so does a local header
// that disagrees with the central directory (the entry due is named).
//
// The bytes written are bounded by `maxWrittenBytes` and by the free space of `directory`'s file
// system less 64 MiB: the entry that would pass the bound is reported, every file this
// installation replaced is put back as it was (its backup becoming it again), and installation
// ends with kFailed.
InstallResult InstallArchive(const QByteArray& archive, const QByteArray& signature,
                             const ReleaseKey& key, const QString& directory,
                             MessagePrompts& prompts,
                             qint64 maxWrittenBytes = BuiltInMaxInstallBytes());

enum class ReplaceResult {
  kCreated,                // `target` did not exist and now holds the new content
  kReplaced,               // `target` holds the new content; the old one is `target` + ".OLD"
  kReplacedWithoutBackup,  // `target` holds the new content; no backup could be made
  kNotCreated,             // `target` is not a plain file, or could not be replaced; unchanged
  kNotFilled,              // `fill` or the writing failed; `target` is unchanged
};

// Installs a new file at `target`, never writing into the file it replaces nor through a link:
// `fill` writes the content into a new file created beside `target`; once it is complete, an
// earlier backup `target` + ".OLD" is deleted, the current file is moved to the backup name and
// the new file is moved to `target`. When the move to the backup fails (the old backup could not
// be deleted), the new file replaces `target` in one rename instead. On any failure `target` is
// as before and the new file is gone. The new file gets the permission bits of the file it
// replaces, or `newFileMode` without write permission for group and others when there was none.
// A `target` that exists as anything but a plain file (a folder, a symbolic link) is left alone:
// kNotCreated.
ReplaceResult ReplaceFile(const QString& target, unsigned newFileMode,
                          const std::function<bool(QFile& file)>& fill);

}  // namespace update
