#pragma once

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QVector>
#include <string>

// A file type offered by a file selector: a name shown to the user and the whole-name wildcard
// patterns it lists ("radar.lzw", "*.csv"), matched without regard to letter case.
struct FileType {
  QString name;
  QStringList patterns;
};

// The state of one file selector, kept by its owner for the whole run: the types it offers and
// the folder, file and type last chosen in it. The dialog itself is run by Prompts.
struct FileSelector {
  QVector<FileType> types;
  QString directory;  // folder the dialog opens in; empty: the current folder
  QString file;       // full path of the file chosen last, or a preset name for the next run
  QString type;       // name of the type chosen last; empty: the first type
};

// Stores a chosen file in `selector`: the full path as its file, its folder as its directory.
inline void RememberChoice(FileSelector& selector, const QString& path) {
  selector.file = path;
  selector.directory = QFileInfo(path).absolutePath();
}

// A chosen path as it crosses into the Qt-free core: the bytes the system uses for it.
inline std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
