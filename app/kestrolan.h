#pragma once

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QUrl>
#include <QWidget>

#include "app/background_job.h"
#include "app/file_selector.h"
#include "app/record_table_model.h"
#include "ui_KestrolanLayout.h"

class MapWindow;
class QAction;
class Prompts;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QEventLoop;

// The main window: Load button, the loaded database's path, the record table, Export, the filter
// field with the count of rows shown, and Exit. Built complete and hidden by the constructor;
// Run() shows it and returns when it is left. Every question it asks goes through `prompts`,
// which must outlive the window.
//
// Keys: Ctrl+O Load, Ctrl+E Export (while enabled), Ctrl+F the filter field, Ctrl+D compares the
// loaded database with an earlier release (also "Compare with…" in the table's context menu;
// see CompareWith), Ctrl+M the map (also "Show map" in the context menu; see MapWindow), Ctrl+Q
// Exit. Local files dropped on the window load one after the other, as if each were chosen with
// Load; anything else dropped is refused.
class Kestrolan : public QWidget, public Ui::KestrolanLayout {
  Q_OBJECT

 public:
  // What Run() returns when the Exit button ended it.
  static constexpr int kExitCode = 9999;

  explicit Kestrolan(Prompts& prompts, QWidget* parent = nullptr);
  ~Kestrolan() override;

  // Shows the window and runs its event loop until Exit (returns kExitCode) or the title bar's
  // close button (returns 0); the window is hidden again on return.
  int Run();

  // Loads the database archive at `path` into the table; reports every outcome itself.
  void LoadRadarFile(QString path);
  // Offers the program update; true when an update was installed and started, so the program
  // must end without running the window.
  bool CheckUpdate();

  // The rows on show, in the table's current order.
  const RecordTableModel& Model() const { return model_; }
  // Loads the local files among `urls`, in order, each as if chosen with Load; skips the rest.
  void OpenDroppedFiles(const QList<QUrl>& urls);

  FileSelector fsRadar;
  FileSelector fsCsv;
  // The earlier release to compare with. Its own, so that Export keeps offering the name of the
  // database loaded; it opens in fsRadar's folder until it has one of its own.
  FileSelector fsCompare;

 public slots:
  void OpenRadarFile();
  void ExitProgram();
  void ExportCsv();
  // Opens the map of the rows shown beside the window, or brings it to the front.
  void ShowMap();
  // Asks for an earlier release of the loaded database ("Compare with") and compares the two on
  // a thread of their own, then shows the table compared (RecordTableModel::SetComparison). A
  // comparison that runs long shows a busy dialog whose Cancel drops it; an archive that cannot be
  // read is reported with the loader's texts and the table stays as it was. Loading a database
  // ends the comparison, or drops one still running. Does nothing before a database is loaded.
  void CompareWith();
  // True while a comparison is being worked out.
  bool Comparing() const { return compareJob_.Busy(); }

 protected:
  // The title bar's close button ends Run() the way Exit does, with 0, asking nothing.
  void closeEvent(QCloseEvent* event) override;
  // A drag with a local file in it is welcome; its drop loads the files after the drop is over.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void AddShortcuts();
  // Drops the comparison being worked out, if any, and its feedback.
  void StopComparing();

  Prompts& prompts_;
  RecordTableModel model_;
  MapWindow* map_ = nullptr;    // made when first shown; a child window, closed with this one
  QEventLoop* loop_ = nullptr;  // the loop of the running Run(), if any
  QAction* compareWith_ = nullptr;
  QPointer<QProgressDialog> compareProgress_;  // while comparing
  BackgroundJob compareJob_{this};
};

// The window's title: name, version, date and author.
QString KestrolanTitle();
// The program's icon (KestrolanImg's Icon), for every window it shows.
QIcon KestrolanIcon();
