#pragma once

#include <QDateTime>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "app/background_job.h"
#include "app/file_selector.h"
#include "app/record_table_model.h"
#include "app/window_actions.h"
#include "ui_KestrolanLayout.h"

class MapWindow;
class RecordEditor;
class Prompts;
class QCloseEvent;
class QDialog;
class QDragEnterEvent;
class QDropEvent;
class QEventLoop;
class QLabel;

// The main window. Its central area is the layout KestrolanLayout: Load button, the loaded
// database's path, the record table, Export, the filter field and Exit. Around it: the menu bar
// (WindowActions: every command with its key), the status bar (file name, count of rows, a
// comparison's summary; see AddStatusLabels) and the map, docked on the right once shown
// (MapWindow). Built complete and hidden by the constructor; Run() shows it and returns when it
// is left. Every question it asks goes through `prompts`, which must outlive the window.
//
// Local files dropped on the window load one after the other, as if each were chosen with Load;
// anything else dropped is refused. What it keeps between runs is in window_settings.h.
class Kestrolan : public QMainWindow, public Ui::KestrolanLayout {
  Q_OBJECT

 public:
  // What Run() returns when the Exit button ended it.
  static constexpr int kExitCode = 9999;

  explicit Kestrolan(Prompts& prompts, QWidget* parent = nullptr);
  ~Kestrolan() override;

  // Shows the window and runs its event loop until Exit (returns kExitCode) or the title bar's
  // close button (returns 0); the window is hidden again on return.
  int Run();

  // Loads the database archive at `path` into the table, after asking to save unsaved changes
  // (MaybeSaveChanges); reports every outcome itself, a failure with the path as the message's
  // details. A database read whole joins the recent files.
  void LoadRadarFile(QString path);
  // Offers the program update; true when an update was installed and started, so the program
  // must end without running the window.
  bool CheckUpdate();

  // The rows on show, in the table's current order; benchmarks and tests may fill it directly.
  const RecordTableModel& Model() const { return model_; }
  RecordTableModel& Model() { return model_; }
  // Loads the local files among `urls`, in order, each as if chosen with Load; skips the rest.
  void OpenDroppedFiles(const QList<QUrl>& urls);
  // Loads `path` as if chosen with Load (File → Open Recent).
  void OpenRecentFile(const QString& path);

  // The edits of the table and their history.
  RecordEditor& Editor() const { return *editor_; }
  // With unsaved changes, asks "Save changes to NAME?": true to go on (saved, or discarded),
  // false when the user cancelled or the save failed.
  bool MaybeSaveChanges();

  // The window's commands.
  const WindowActions& Actions() const { return actions_; }
  // The map, docked (or floating) and hidden until shown.
  MapWindow& Map() const { return *map_; }

  // The databases opened last, newest first (see recent_files.h).
  const QStringList& RecentFiles() const { return recentFiles_; }
  void SetRecentFiles(const QStringList& files);

  FileSelector fsRadar;
  FileSelector fsCsv;
  // The earlier release to compare with. Its own, so that Load keeps its folder and file; it
  // opens in fsRadar's folder until it has one of its own.
  FileSelector fsCompare;
  // The database whose records Add Records From… appends, and the change list Apply Changes
  // From… applies; both open in fsRadar's folder until they have one of their own.
  FileSelector fsAdd;
  FileSelector fsChanges;

  // The status bar's labels (AddStatusLabels), and the note the empty table shows until a
  // database is loaded.
  QLabel* lbFile;
  QLabel* lbCount;
  QLabel* lbChanges;
  QLabel* lbFindings;
  QLabel* lbEdited;  // "Unsaved changes", while there are any
  QLabel* lbEmpty;

 public slots:
  void OpenRadarFile();
  void ExitProgram();
  // Writes the rows shown as CSV. The save dialog offers the loaded database's name with ".csv"
  // in its folder (the database picked last with Load when none is loaded; no name without
  // either); "Done." tells how many records went where.
  void ExportCsv();
  // Shows the map, docked on the right unless the user moved it: the first time in a run, the
  // window widens to make room, where the screen allows.
  void ShowMap();
  // Asks for an earlier release of the loaded database ("Compare with") and compares the two on
  // a thread of their own, then shows the table compared (RecordTableModel::SetComparison). A
  // comparison that runs long shows a busy dialog whose Cancel drops it; an archive that cannot be
  // read is reported with the loader's texts and the table stays as it was. Loading a database
  // ends the comparison, or drops one still running. Does nothing before a database is loaded.
  void CompareWith();
  // Writes the table back to the archive it was loaded from (database_saving.cpp): in the
  // table's own order, every byte not edited as it was read, through the atomic writer. Asks
  // before overwriting an archive changed on disk since it was loaded. True when saved.
  bool Save();
  // The same to a file chosen in a dialog ("Save database as"), which becomes the loaded one.
  bool SaveAs();
  // Tools → Remove Exact Duplicates: one undoable step; says how many went, or that none did.
  void RemoveExactDuplicates();
  // File → Add Records From… (database_merging.cpp): asks for an archive and which of its records
  // to drop (none, those identical to a row or to one added before them, or also those near one
  // within kDefaultTolerance), then appends the others as one undoable step and says in the
  // status bar how many were read, dropped and added.
  void AddRecordsFrom();
  // File → Apply Changes From…: asks for a change list (the CSV `kestrolan-db diff` writes) and
  // applies it to the rows as `kestrolan-db patch` would, as one undoable step; a list that does
  // not fit says "NAME: line N: REASON" and changes nothing.
  void ApplyChangesFrom();
  // True while a comparison is being worked out.
  bool Comparing() const { return compareJob_.Busy(); }
  // Tools → Check Database (window_check.cpp): checks the rows the window holds as
  // `kestrolan-db check` does, but for the unused bits, which the table does not hold, on a
  // thread of its own, then shows the findings (RecordTableModel::SetFindings) in place of a
  // comparison. A check that runs long shows a busy dialog whose Cancel drops it. While the check
  // runs or its findings are on show, the command is checked, and choosing it again drops them;
  // so do editing the rows, comparing and loading a database.
  void CheckDatabase();
  // True while a check is being worked out.
  bool Checking() const { return checkJob_.Busy(); }

 protected:
  // The title bar's close button ends Run() the way Exit does, with 0, after MaybeSaveChanges.
  void closeEvent(QCloseEvent* event) override;
  // A drag with a local file in it is welcome; its drop loads the files after the drop is over.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void LayOut();
  void WireActions();
  void ShowRecentFiles();
  // Shows the Help window `dialog`, made by `make` when not open.
  void ShowHelp(QPointer<QDialog>& dialog, const std::function<QDialog*()>& make);
  // Drops the comparison being worked out, if any, and its feedback.
  void StopComparing();
  // The same for the check.
  void StopChecking();
  // After a job on the rows stopped: editing back on, the busy feedback `progress` gone.
  void StopJobFeedback(QPointer<QProgressDialog>& progress);
  // Check Database is checked while a check runs or its findings are on show.
  void FollowFindings();
  // Loads as LoadRadarFile, asking nothing.
  void ReadRadarFile(const QString& path);
  void WireEditing();
  // The commands, the title and the status bar after the rows or their history changed.
  void FollowEditState();
  // Saves to `path`: the loaded archive's bytes with the edits. True when saved.
  bool WriteDatabase(const QString& path);
  // The records the rows hold, as Save would write them, in `records`; false when they could not
  // be built (said already).
  bool RowRecords(std::string& records);
  // The archive on show is `path`, as it is on disk now.
  void RememberDatabaseFile(const QString& path);

  Prompts& prompts_;
  RecordTableModel model_;
  WindowActions actions_;
  MapWindow* map_;
  RecordEditor* editor_;
  QString database_;            // absolute path of the database on show; empty before a load
  bool loadedWhole_ = false;    // every record of database_ was read, so it can be saved
  QDateTime databaseModified_;  // database_'s time and size when loaded or saved
  qint64 databaseSize_ = -1;
  FileSelector fsSave;
  QStringList recentFiles_;
  QEventLoop* loop_ = nullptr;                 // the loop of the running Run(), if any
  QPointer<QProgressDialog> compareProgress_;  // while comparing
  QPointer<QProgressDialog> checkProgress_;    // while checking
  QPointer<QDialog> about_;
  QPointer<QDialog> filterHelp_;
  QPointer<QDialog> shortcuts_;
  BackgroundJob compareJob_{this};
  BackgroundJob checkJob_{this};
};

// The window's title: name, version, date and author.
QString KestrolanTitle();
// The program's icon (KestrolanImg's Icon), for every window it shows.
QIcon KestrolanIcon();
