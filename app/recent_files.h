#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;

// The databases opened last, newest first, for File → Open Recent and the settings.
inline constexpr int kMaxRecentFiles = 10;

// `files` as a list of recent files: absolute paths only, each once (the first time it comes),
// at most kMaxRecentFiles of them.
QStringList CleanRecentFiles(const QStringList& files);

// `files` with `path` (made absolute) put first.
QStringList WithRecentFile(const QStringList& files, const QString& path);

// Fills `menu` (emptied first) with an entry per file, "&1 /data/radar.lzw" ... "1&0 ...", each
// calling `open` with its path, then `clearList`; with no file, a disabled "No databases yet" and
// a disabled `clearList`.
void FillRecentMenu(QMenu& menu, const QStringList& files, QAction& clearList,
                    const std::function<void(const QString&)>& open);
