#pragma once

#include <QByteArray>
#include <QString>

class Prompts;

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
InstallResult InstallArchive(const QByteArray& archive, const QString& directory, Prompts& prompts);
