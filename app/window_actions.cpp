#include "app/window_actions.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>

namespace {

QString Translated(const char* text) { return QCoreApplication::translate("WindowActions", text); }

// An action of `window` with `text`, `keys` and a tooltip telling `tip` and the keys.
QAction* NewAction(QWidget& window, const char* text, const QKeySequence& keys, const char* tip) {
  auto* action = new QAction(Translated(text), &window);
  action->setShortcut(keys);
  const QString described = Translated(tip);
  action->setToolTip(keys.isEmpty() ? described
                                    : QStringLiteral("%1 (%2)").arg(
                                          described, keys.toString(QKeySequence::NativeText)));
  window.addAction(action);
  return action;
}

QKeySequence Keys(const char* keys) { return QKeySequence(QString::fromLatin1(keys)); }

// Hands a line edit's keys that belong to commands to those commands.
class KeysThrough : public QObject {
 public:
  KeysThrough(const QList<QAction*>& actions, QObject* parent)
      : QObject(parent), actions_(actions) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress) {
      return false;
    }
    QAction* action = ActionFor(*static_cast<QKeyEvent*>(event));
    if (action == nullptr) return false;
    // Not accepting the override leaves the key to the command's shortcut; a key press that
    // reaches the field all the same goes to the command directly.
    if (event->type() == QEvent::KeyPress && action->isEnabled()) action->trigger();
    event->ignore();
    return true;
  }

 private:
  QAction* ActionFor(const QKeyEvent& key) const {
    const QKeySequence typed(key.keyCombination());
    const auto found = std::find_if(actions_.begin(), actions_.end(), [&typed](QAction* action) {
      return !action->shortcut().isEmpty() && action->shortcut() == typed;
    });
    return found == actions_.end() ? nullptr : *found;
  }

  QList<QAction*> actions_;
};

}  // namespace

QList<QAction*> WindowActions::All() const {
  return {loadLzw,
          clearRecent,
          compareWith,
          addRecords,
          applyChanges,
          save,
          saveAs,
          exportCsv,
          saveMap,
          exit,
          undo,
          redo,
          copy,
          selectAll,
          deleteRows,
          insertRow,
          find,
          map,
          zoomToSelection,
          resetColumns,
          checkDatabase,
          removeDuplicates,
          filterHelp,
          shortcuts,
          about};
}

WindowActions MakeWindowActions(QWidget& window) {
  WindowActions a;
  a.loadLzw =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Load LZW\u2026"), Keys("Ctrl+O"),
                QT_TRANSLATE_NOOP("WindowActions", "Open a radar database"));
  a.recentMenu = new QMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "Open &Recent")), &window);
  a.clearRecent = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Clear list"), {},
                            QT_TRANSLATE_NOOP("WindowActions", "Forget the databases opened"));
  a.compareWith =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Compare with\u2026"), Keys("Ctrl+D"),
                QT_TRANSLATE_NOOP("WindowActions", "Compare the database with an earlier release"));
  a.addRecords = NewAction(
      window, QT_TRANSLATE_NOOP("WindowActions", "Add Records &From\u2026"), {},
      QT_TRANSLATE_NOOP("WindowActions", "Append another database's records to the table"));
  a.applyChanges = NewAction(
      window, QT_TRANSLATE_NOOP("WindowActions", "Apply C&hanges From\u2026"), {},
      QT_TRANSLATE_NOOP("WindowActions", "Apply a change list that kestrolan-db diff wrote"));
  a.save = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Save"), QKeySequence::Save,
                     QT_TRANSLATE_NOOP("WindowActions", "Write the edited database back"));
  a.saveAs =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "Save &As\u2026"), Keys("Ctrl+Shift+S"),
                QT_TRANSLATE_NOOP("WindowActions", "Write the database to a new file"));
  a.exportCsv =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Export CSV\u2026"), Keys("Ctrl+E"),
                QT_TRANSLATE_NOOP("WindowActions", "Write the rows shown as a CSV file"));
  a.saveMap = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "Save &Map as PNG\u2026"), {},
                        QT_TRANSLATE_NOOP("WindowActions", "Write the map on show as a picture"));
  a.exit = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "E&xit"), Keys("Ctrl+Q"),
                     QT_TRANSLATE_NOOP("WindowActions", "Leave the program"));
  a.undo = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Undo"), Keys("Ctrl+Z"),
                     QT_TRANSLATE_NOOP("WindowActions", "Take back the last change"));
  a.redo = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Redo"), Keys("Ctrl+Shift+Z"),
                     QT_TRANSLATE_NOOP("WindowActions", "Make the change taken back again"));
  a.redo->setShortcuts({Keys("Ctrl+Shift+Z"), Keys("Ctrl+Y")});
  a.copy = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Copy"), QKeySequence::Copy,
                     QT_TRANSLATE_NOOP("WindowActions", "Copy the selected rows"));
  a.selectAll =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "Select &All"), QKeySequence::SelectAll,
                QT_TRANSLATE_NOOP("WindowActions", "Select every row shown"));
  a.deleteRows =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Delete Rows"), QKeySequence::Delete,
                QT_TRANSLATE_NOOP("WindowActions", "Remove the selected records"));
  a.insertRow =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Insert Row"), Keys("Ins"),
                QT_TRANSLATE_NOOP("WindowActions", "Add a copy of each selected record after it"));
  // The filter field and a cell being edited have their own Delete and Insert: these act only
  // while the table itself has the focus.
  for (QAction* rows : {a.deleteRows, a.insertRow}) {
    window.removeAction(rows);
    rows->setShortcutContext(Qt::WidgetShortcut);
  }
  a.find = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Find"), QKeySequence::Find,
                     QT_TRANSLATE_NOOP("WindowActions", "Type a filter"));
  a.map = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Map"), Keys("Ctrl+M"),
                    QT_TRANSLATE_NOOP("WindowActions", "Show the rows on a map"));
  a.map->setCheckable(true);
  a.zoomToSelection =
      NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Zoom to Selection"), {},
                QT_TRANSLATE_NOOP("WindowActions", "Fit the selected rows into the map"));
  a.columnsMenu = new QMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&Columns")), &window);
  a.resetColumns = NewAction(
      window, QT_TRANSLATE_NOOP("WindowActions", "&Reset Columns"), {},
      QT_TRANSLATE_NOOP("WindowActions", "Show every column in its first order and width"));
  a.checkDatabase = NewAction(
      window, QT_TRANSLATE_NOOP("WindowActions", "&Check Database"), {},
      QT_TRANSLATE_NOOP("WindowActions",
                        "Look for duplicates, conflicts, near-duplicates and damaged texts; "
                        "again to hide the findings"));
  a.checkDatabase->setCheckable(true);
  a.removeDuplicates = NewAction(
      window, QT_TRANSLATE_NOOP("WindowActions", "Remove Exact &Duplicates"), {},
      QT_TRANSLATE_NOOP("WindowActions",
                        "Remove every record equal to an earlier one, keeping the first"));
  a.filterHelp = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Filter Language"),
                           QKeySequence::HelpContents,
                           QT_TRANSLATE_NOOP("WindowActions", "Explain the filter field"));
  a.shortcuts = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&Keyboard Shortcuts"), {},
                          QT_TRANSLATE_NOOP("WindowActions", "List the keys"));
  a.about = NewAction(window, QT_TRANSLATE_NOOP("WindowActions", "&About Kestrolan"), {},
                      QT_TRANSLATE_NOOP("WindowActions", "Name, version and licence"));
  for (QAction* off :
       {a.compareWith, a.addRecords, a.applyChanges, a.save, a.saveAs, a.exportCsv, a.undo, a.redo,
        a.deleteRows, a.insertRow, a.checkDatabase, a.removeDuplicates}) {
    off->setEnabled(false);
  }
  a.saveMap->setEnabled(false);
  a.zoomToSelection->setEnabled(false);
  return a;
}

void BuildMenuBar(QMenuBar& bar, const WindowActions& a) {
  QMenu* file = bar.addMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&File")));
  file->addAction(a.loadLzw);
  file->addMenu(a.recentMenu);
  file->addAction(a.compareWith);
  file->addActions({a.addRecords, a.applyChanges});
  file->addSeparator();
  file->addActions({a.save, a.saveAs});
  file->addSeparator();
  file->addAction(a.exportCsv);
  file->addAction(a.saveMap);
  file->addSeparator();
  file->addAction(a.exit);
  QMenu* edit = bar.addMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&Edit")));
  edit->addActions({a.undo, a.redo});
  edit->addSeparator();
  edit->addActions({a.copy, a.selectAll});
  edit->addSeparator();
  edit->addActions({a.deleteRows, a.insertRow});
  edit->addSeparator();
  edit->addAction(a.find);
  QMenu* view = bar.addMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&View")));
  view->addAction(a.map);
  view->addAction(a.zoomToSelection);
  view->addSeparator();
  view->addMenu(a.columnsMenu);
  view->addAction(a.resetColumns);
  QMenu* tools = bar.addMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&Tools")));
  tools->addActions({a.checkDatabase, a.removeDuplicates});
  QMenu* help = bar.addMenu(Translated(QT_TRANSLATE_NOOP("WindowActions", "&Help")));
  help->addActions({a.filterHelp, a.shortcuts});
  help->addSeparator();
  help->addAction(a.about);
}

void BindButton(QPushButton& button, QAction& action) {
  QObject::connect(&button, &QPushButton::clicked, &action, &QAction::trigger);
  const auto follow = [&button, &action] {
    button.setEnabled(action.isEnabled());
    button.setToolTip(action.toolTip());
  };
  QObject::connect(&action, &QAction::changed, &button, follow);
  follow();
}

void PassKeysThrough(QLineEdit& field, const QList<QAction*>& actions) {
  field.installEventFilter(new KeysThrough(actions, &field));
}

QString PlainText(const QAction& action) {
  QString text = action.text();
  text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  if (text.endsWith(u'\u2026')) text.chop(1);
  return text;
}
