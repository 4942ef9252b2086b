#include "app/recent_files.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

QStringList CleanRecentFiles(const QStringList& files) {
  QStringList clean;
  for (const QString& file : files) {
    if (clean.size() == kMaxRecentFiles) break;
    if (file.isEmpty() || QFileInfo(file).isRelative() || clean.contains(file)) continue;
    clean << file;
  }
  return clean;
}

QStringList WithRecentFile(const QStringList& files, const QString& path) {
  return CleanRecentFiles(
      QStringList{QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())} + files);
}

void FillRecentMenu(QMenu& menu, const QStringList& files, QAction& clearList,
                    const std::function<void(const QString&)>& open) {
  menu.clear();
  if (files.isEmpty()) {
    menu.addAction(QCoreApplication::translate("RecentFiles", "No databases yet"))
        ->setEnabled(false);
  }
  for (int i = 0; i < files.size(); ++i) {
    // The number's last digit is the entry's mnemonic: 1 to 9, then 0.
    QString number = QString::number(i + 1);
    number.insert(number.size() - 1, u'&');
    QString shown = files[i];
    QAction* entry = menu.addAction(number + u' ' + shown.replace(u'&', QStringLiteral("&&")));
    // Later: loading refills this menu, which deletes the entry still being triggered.
    QObject::connect(
        entry, &QAction::triggered, &menu, [open, file = files[i]] { open(file); },
        Qt::QueuedConnection);
  }
  menu.addSeparator();
  menu.addAction(&clearList);
  clearList.setEnabled(!files.isEmpty());
}
