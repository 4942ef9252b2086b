#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <functional>

class MessagePrompts;

// Installing an update archive into the program folder, each replaced file kept as a backup.

enum class InstallResult {
  kNotAnArchive,  // `archive` is not a readable ZIP archive or holds no entry; nothing was touched
  kInstalled,     // every entry was installed
  kFailed,        // at least one entry was not installed; each was reported
};

// Installs the entries of the ZIP archive `archive`, in archive order, as files in `directory`
// (the program folder, ending with its separator; empty for the current folder), each replacing
// the file of its name with a ".OLD" backup (see ReplaceFile). An entry that is not a plain file
// (a folder, a symbolic link), whose stored path would leave `directory`, or whose file cannot be
// created is reported as "Error creating file : " + its stored path and installation goes on
// with the next entry; an entry that cannot be read or written is reported the same way, is not
// left half-written, and ends the installation.
InstallResult InstallArchive(const QByteArray& archive, const QString& directory,
                             MessagePrompts& prompts);

enum class ReplaceResult {
  kReplaced,    // `target` holds the new content
  kNotCreated,  // `target` could not be created, or is not a plain file; nothing was changed
  kNotFilled,   // `fill` or the writing failed; `target` is as before the call
};

// Installs a new file at `target`, keeping the file it replaces as `target` + ".OLD":
// an earlier backup is deleted, the current file is moved to the backup name (a move that fails,
// for instance because the old backup could not be deleted, leaves the current file to be
// replaced in place), then `target` is created and `fill` writes the content into it.
// The new file gets the permission bits of the file it replaces, or `newFileMode` without write
// permission for group and others when there was none. On any failure after the move the
// half-written file is removed and the backup moved back. A `target` that exists as anything but
// a plain file (a folder, a symbolic link) is left alone: kNotCreated.
ReplaceResult ReplaceFile(const QString& target, unsigned newFileMode,
                          const std::function<bool(QFile& file)>& fill);

// True when an archive's stored path names a place inside the folder it is installed into: not
// empty, not absolute, no drive letter ("C:..."), no backslash and no ".." component.
bool IsSafeStoredPath(const QByteArray& storedPath);
