#pragma once

#include <QList>
#include <QString>

class QAction;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

// The main window's commands, one QAction each: the menu bar, the buttons, the table's context
// menu and the keys all reach the same object, so its text, key, tooltip and enabled state are
// set once, here. Each is added to the window, its key working anywhere in it. What a command
// does is wired by the window.
struct WindowActions {
  // File
  QAction* loadLzw;
  QMenu* recentMenu;  // filled by the window from its recent files
  QAction* clearRecent;
  QAction* compareWith;
  QAction* addRecords;
  QAction* applyChanges;
  QAction* save;
  QAction* saveAs;
  QAction* exportCsv;
  QAction* saveMap;
  QAction* exit;
  // Edit
  QAction* undo;
  QAction* redo;  // Ctrl+Shift+Z and Ctrl+Y
  QAction* copy;
  QAction* selectAll;
  QAction* deleteRows;  // Delete and Insert act only while the table has the focus
  QAction* insertRow;
  QAction* find;
  // View
  QAction* map;  // checkable: the map is on show
  QAction* zoomToSelection;
  QMenu* columnsMenu;  // filled by the window from the table's columns when it opens
  QAction* resetColumns;
  // Tools
  QAction* checkDatabase;  // checkable: the check's findings are on show, or being found
  QAction* removeDuplicates;
  // Help
  QAction* filterHelp;
  QAction* shortcuts;
  QAction* about;

  // Every command, in the menus' order.
  QList<QAction*> All() const;
};

// Makes the commands, owned by and added to `window`. Compare with…, Add Records From…, Apply
// Changes From…, Save, Save As…, Export, Undo, Redo, Delete, Insert, Check Database and Remove
// Exact Duplicates start disabled, and Save Map as PNG… and Zoom to Selection until the map is on
// show.
WindowActions MakeWindowActions(QWidget& window);

// Fills `bar` with the menus File, Edit, View, Tools and Help (Alt and the underlined letter open
// each), built from `actions`.
void BuildMenuBar(QMenuBar& bar, const WindowActions& actions);

// A click on `button` triggers `action`; the button is enabled while the action is and shows its
// tooltip.
void BindButton(QPushButton& button, QAction& action);

// Lets the keys of `actions` reach them while `field` has the focus: a line edit takes some of
// them for its own editing under some key schemes (Ctrl+E moves to the line's end under X11's),
// so a key typed there would otherwise do nothing the user expects.
void PassKeysThrough(QLineEdit& field, const QList<QAction*>& actions);

// The action's text as the user reads it: no mnemonic marker, no trailing "…".
QString PlainText(const QAction& action);
