#pragma once

#include <QList>

class QAction;
class QDialog;
class QWidget;

// The Help menu's windows. Each is a dialog of `parent` that does not block it (the filter
// language can stay open while a filter is typed), closed with its Close button or Esc, and
// deleted when closed.

// "About Kestrolan": the program's name, version, date and author, the Qt version it was built
// with and runs on, and its licence.
QDialog* MakeAboutDialog(QWidget* parent);

// "Filter Language": FilterHelpHtml.
QDialog* MakeFilterHelpDialog(QWidget* parent);

// "Keyboard Shortcuts": every one of `actions` that has a key, with it, then the keys of the
// table, the filter field and the map.
QDialog* MakeShortcutsDialog(const QList<QAction*>& actions, QWidget* parent);
