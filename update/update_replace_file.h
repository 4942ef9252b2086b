#pragma once

#include <QFile>
#include <QString>
#include <functional>

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
