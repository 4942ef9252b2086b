#include "app/kestrolan.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>
#include <algorithm>

#include "app/anchor_layout.h"
#include "app/filter_field.h"
#include "app/help_dialogs.h"
#include "app/load_feedback.h"
#include "app/map_window.h"
#include "app/prompts.h"
#include "app/recent_files.h"
#include "app/record_editor.h"
#include "app/record_table_view.h"
#include "app/status_text.h"
#include "app/table_copy.h"
#include "app/transfer_progress_dialog.h"
#include "app/window_status.h"
#include "platform/file_ops.h"
#include "radardb/compare/compared_rows.h"
#include "radardb/csv/csv_export.h"
#include "radardb/records/load_database.h"
#include "update/app_identity.h"
#include "update/update_check.h"

using namespace radardb;
using namespace update;

namespace {

// The layout's size in layout units; the central area's first and smallest size, zoomed.
constexpr QSize kDesignSize(752, 392);
constexpr char kIconPath[] = ":/KestrolanImg/Icon";

bool HasLocalFile(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

FileSelector MakeSelector(const QString& typeName, const QStringList& patterns) {
  FileSelector selector;
  selector.types = {{typeName, patterns},
                    {QCoreApplication::translate("Kestrolan", "All files"), {QStringLiteral("*")}}};
  return selector;
}

}  // namespace

QString KestrolanTitle() {
  return QCoreApplication::translate("Kestrolan", "%1 - %2 - %3 - by Tolvenqar")
      .arg(AppName, AppVersion, AppDate);
}

QIcon KestrolanIcon() { return QIcon(QString::fromLatin1(kIconPath)); }

Kestrolan::Kestrolan(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), actions_(MakeWindowActions(*this)) {
  setObjectName(QStringLiteral("Kestrolan"));
  setWindowIcon(KestrolanIcon());
  setWindowTitle(KestrolanTitle());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

  fsRadar =
      MakeSelector(tr("Radar file"), {QStringLiteral("radar.lzw"), QStringLiteral("dangerz.lzw")});
  fsCsv = MakeSelector(tr("CSV file"), {QStringLiteral("*.csv")});
  fsCompare = fsRadar;
  fsAdd = fsRadar;
  fsChanges = fsCsv;

  LayOut();
  WireActions();
  WireEditing();
  setAcceptDrops(true);
}

void Kestrolan::LayOut() {
  auto* central = new QWidget(this);
  setupUi(central);
  setCentralWidget(central);
  auto* anchors = new AnchorLayout(kDesignSize, LayoutZoom(font()), central);
  anchors->AddAnchored(btLoad, {Anchor::kLeading, 12, 88}, {Anchor::kLeading, 12, 24});
  anchors->AddAnchored(esFilename, {Anchor::kBoth, 112, 16}, {Anchor::kLeading, 12, 24});
  anchors->AddAnchored(acList, {Anchor::kBoth, 12, 12}, {Anchor::kBoth, 48, 48});
  anchors->AddAnchored(btExport, {Anchor::kLeading, 12, 88}, {Anchor::kTrailing, 12, 24});
  anchors->AddAnchored(esFilter, {Anchor::kBoth, 112, 112}, {Anchor::kTrailing, 12, 24});
  anchors->AddAnchored(btExit, {Anchor::kTrailing, 12, 88}, {Anchor::kTrailing, 12, 24});
  central->setMinimumSize(anchors->minimumSize());
  ConfigureRecordView(*acList, model_);
  ConfigureFilterField(*esFilter, model_);

  BuildMenuBar(*menuBar(), actions_);
  const StatusLabels labels = AddStatusLabels(*statusBar(), model_);
  lbFile = labels.file;
  lbCount = labels.count;
  lbChanges = labels.changes;
  lbFindings = labels.findings;
  lbEdited = new QLabel(tr("Unsaved changes"), statusBar());
  statusBar()->addPermanentWidget(lbEdited);
  lbEdited->hide();
  lbEmpty = AddEmptyTableNote(*acList, tr("No database loaded.\nOpen one with Load LZW (Ctrl+O), "
                                          "or drop a radar.lzw or dangerz.lzw file here."));

  map_ = new MapWindow(model_, *acList, *esFilter, prompts_, this);
  addDockWidget(Qt::RightDockWidgetArea, map_);
  map_->hide();

  // Screen readers read every control by its name; the path field takes no focus but is read.
  esFilename->setAccessibleName(tr("Loaded database"));
  esFilter->setAccessibleName(tr("Filter"));
  for (auto* clear : esFilter->findChildren<QToolButton*>()) {
    clear->setAccessibleName(tr("Clear filter"));
    clear->setToolTip(tr("Clear filter (Esc)"));
  }
  acList->setAccessibleName(tr("Records"));

  resize(sizeHint());
  layout()->activate();  // the window's minimum follows its central area's from now on
}

void Kestrolan::WireActions() {
  const WindowActions& a = actions_;
  BindButton(*btLoad, *a.loadLzw);
  BindButton(*btExport, *a.exportCsv);
  BindButton(*btExit, *a.exit);
  connect(a.loadLzw, &QAction::triggered, this, &Kestrolan::OpenRadarFile);
  connect(a.clearRecent, &QAction::triggered, this, [this] { SetRecentFiles({}); });
  connect(a.compareWith, &QAction::triggered, this, &Kestrolan::CompareWith);
  connect(a.checkDatabase, &QAction::triggered, this, &Kestrolan::CheckDatabase);
  connect(&model_, &RecordTableModel::FieldsChanged, this, &Kestrolan::FollowFindings);
  connect(a.exportCsv, &QAction::triggered, this, &Kestrolan::ExportCsv);
  connect(a.saveMap, &QAction::triggered, map_, &MapWindow::SaveImage);
  connect(a.exit, &QAction::triggered, this, &Kestrolan::ExitProgram);
  connect(a.copy, &QAction::triggered, this,
          [this] { QGuiApplication::clipboard()->setText(SelectedRowsText(*acList)); });
  connect(a.selectAll, &QAction::triggered, acList, &QTableView::selectAll);
  connect(a.find, &QAction::triggered, this, [this] {
    esFilter->setFocus(Qt::ShortcutFocusReason);
    esFilter->selectAll();
  });
  connect(a.map, &QAction::toggled, this, [this](bool on) { on ? ShowMap() : map_->hide(); });
  connect(map_, &MapWindow::ShownChanged, this, [this](bool shown) {
    const QSignalBlocker quiet(actions_.map);
    actions_.map->setChecked(shown);
    actions_.saveMap->setEnabled(shown);
    actions_.zoomToSelection->setEnabled(shown);
  });
  connect(a.zoomToSelection, &QAction::triggered, map_, &MapWindow::ZoomToSelection);
  connect(a.columnsMenu, &QMenu::aboutToShow, this,
          [this] { FillColumnMenu(*actions_.columnsMenu, *acList->horizontalHeader()); });
  connect(a.resetColumns, &QAction::triggered, this,
          [this] { ResetColumns(*acList->horizontalHeader()); });
  connect(a.filterHelp, &QAction::triggered, this,
          [this] { ShowHelp(filterHelp_, [this] { return MakeFilterHelpDialog(this); }); });
  connect(a.shortcuts, &QAction::triggered, this, [this] {
    ShowHelp(shortcuts_, [this] { return MakeShortcutsDialog(actions_.All(), this); });
  });
  connect(a.about, &QAction::triggered, this,
          [this] { ShowHelp(about_, [this] { return MakeAboutDialog(this); }); });

  acList->addActions({a.copy, a.selectAll, a.deleteRows, a.insertRow, a.map, a.compareWith});
  PassKeysThrough(*esFilter, {a.loadLzw, a.compareWith, a.save, a.saveAs, a.exportCsv, a.exit,
                              a.map, a.find, a.filterHelp});
  ShowRecentFiles();
}

Kestrolan::~Kestrolan() {
  // The history empties itself as it goes, and the window is no longer there to follow it.
  editor_->History().disconnect(this);
}

int Kestrolan::Run() {
  QEventLoop loop;
  loop_ = &loop;
  show();
  const int code = loop.exec();
  loop_ = nullptr;
  hide();
  return code;
}

void Kestrolan::OpenRadarFile() {
  if (!MaybeSaveChanges()) return;
  if (!prompts_.OpenFile(fsRadar, tr("Open Radar file"))) return;
  ReadRadarFile(fsRadar.file);
}

void Kestrolan::ExitProgram() {
  if (!MaybeSaveChanges()) return;
  if (loop_ != nullptr) loop_->exit(kExitCode);
}

void Kestrolan::closeEvent(QCloseEvent* event) {
  if (!MaybeSaveChanges()) {
    event->ignore();
    return;
  }
  event->accept();
  if (loop_ != nullptr) loop_->exit(0);
}

void Kestrolan::dragEnterEvent(QDragEnterEvent* event) {
  if (HasLocalFile(*event->mimeData())) event->acceptProposedAction();
}

void Kestrolan::dropEvent(QDropEvent* event) {
  if (!HasLocalFile(*event->mimeData())) return;
  event->acceptProposedAction();
  // Loading may ask questions; the drag's source should not wait for them.
  QMetaObject::invokeMethod(
      this, [this, urls = event->mimeData()->urls()] { OpenDroppedFiles(urls); },
      Qt::QueuedConnection);
}

void Kestrolan::OpenDroppedFiles(const QList<QUrl>& urls) {
  if (!MaybeSaveChanges()) return;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    RememberChoice(fsRadar, path);
    ReadRadarFile(path);
  }
}

void Kestrolan::OpenRecentFile(const QString& path) {
  RememberChoice(fsRadar, path);
  LoadRadarFile(path);
}

void Kestrolan::SetRecentFiles(const QStringList& files) {
  recentFiles_ = CleanRecentFiles(files);
  ShowRecentFiles();
}

void Kestrolan::ShowRecentFiles() {
  FillRecentMenu(*actions_.recentMenu, recentFiles_, *actions_.clearRecent,
                 [this](const QString& path) { OpenRecentFile(path); });
}

void Kestrolan::LoadRadarFile(QString path) {
  if (!MaybeSaveChanges()) return;
  ReadRadarFile(path);
}

void Kestrolan::ReadRadarFile(const QString& path) {
  LoadOutcome outcome;
  {
    LoadFeedback feedback(this, tr("Loading %1").arg(QFileInfo(path).fileName()));
    outcome = LoadDatabase(NativePath(path), feedback.Callback());
  }
  using Result = LoadOutcome::Result;
  // A damaged database still replaces the table, with nothing to export; a failed or cancelled
  // load leaves everything as it was.
  if (outcome.result == Result::kLoaded || outcome.result == Result::kDamaged) {
    StopComparing();
    StopChecking();
    model_.SetRows(std::move(outcome.rows));
    actions_.compareWith->setEnabled(true);
    ReapplySort(*acList);
    RememberDatabaseFile(path);
    lbEmpty->hide();
    actions_.exportCsv->setEnabled(outcome.result == Result::kLoaded);
    loadedWhole_ = outcome.result == Result::kLoaded;
    editor_->History().clear();
    FollowEditState();
  }
  if (outcome.result == Result::kLoaded) SetRecentFiles(WithRecentFile(recentFiles_, path));
  if (outcome.result == Result::kDamaged || outcome.result == Result::kFailed) {
    prompts_.Information(StatusText(outcome.status), QDir::toNativeSeparators(path));
  }
}

void Kestrolan::ExportCsv() {
  // A bare ".csv" would name a hidden file: with no database, no name is offered.
  const QString database = database_.isEmpty() ? fsRadar.file : database_;
  fsCsv.file = database.isEmpty()
                   ? QString()
                   : QFile::decodeName(QByteArray::fromStdString(CsvNameFor(NativePath(database))));
  if (!prompts_.SaveFile(fsCsv, tr("Save as"))) return;
  const std::string path = NativePath(fsCsv.file);
  const ComparedRows* compared = model_.Comparison();
  // The archive shown, or the one compared with, would be replaced by its own export.
  const bool overInput =
      platform::SameFile(path, NativePath(database_)) ||
      (compared != nullptr && platform::SameFile(path, NativePath(fsCompare.file)));
  if (overInput) {
    prompts_.Information(StatusText(Status::InvalidArgument("Error creating file " + path)),
                         tr("It is a database the window shows; choose another name."));
    return;
  }
  const Status exported = compared != nullptr
                              ? ExportComparedCsvFile(*compared, model_.Order(), path)
                              : ExportCsvFile(model_.Rows(), &model_.Order(), path);
  if (!exported.ok()) {
    prompts_.Information(StatusText(exported));
    return;
  }
  const std::size_t written = model_.Order().size();
  prompts_.Information(tr("Done."), tr("%1 written to %2")
                                        .arg(RecordCountText(written, written, false),
                                             QDir::toNativeSeparators(fsCsv.file)));
}

void Kestrolan::ShowMap() { map_->ShowIn(*this); }

void Kestrolan::ShowHelp(QPointer<QDialog>& dialog, const std::function<QDialog*()>& make) {
  if (dialog == nullptr) dialog = make();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void Kestrolan::CompareWith() {
  if (!actions_.compareWith->isEnabled()) return;
  if (!MaybeSaveChanges()) return;
  if (fsCompare.directory.isEmpty()) fsCompare.directory = fsRadar.directory;
  if (!prompts_.OpenFile(fsCompare, tr("Compare with"))) return;
  StopComparing();
  StopChecking();
  setCursor(Qt::BusyCursor);
  const QString old = fsCompare.file;
  compareProgress_ =
      NewProgressDialog(tr("Comparing with %1").arg(QDir::toNativeSeparators(old)), this,
                        tr("Comparing with %1").arg(QFileInfo(old).fileName()));
  compareProgress_->setMinimumDuration(LoadFeedback::kDelayMs);
  compareProgress_->setValue(0);  // shows it once the comparison has run that long
  connect(compareProgress_, &QProgressDialog::canceled, this, &Kestrolan::StopComparing);
  // The comparison reads the rows on its own thread and then shows them compared: no edits.
  model_.SetEditable(false);
  FollowEditState();

  compareJob_.Post([this, rows = model_.SharedRows(), old,
                    oldPath = NativePath(old)](std::stop_token) -> std::function<void()> {
    std::shared_ptr<const ComparedRows> compared;
    const Status status = CompareWithArchive(oldPath, rows, compared);
    return [this, status, compared, old] {
      StopComparing();
      if (!status.ok()) {
        prompts_.Information(StatusText(status), QDir::toNativeSeparators(old));
        return;
      }
      model_.SetComparison(compared);
      ReapplySort(*acList);
      FollowEditState();
    };
  });
}

void Kestrolan::StopComparing() {
  compareJob_.Cancel();
  StopJobFeedback(compareProgress_);
}

void Kestrolan::StopJobFeedback(QPointer<QProgressDialog>& progress) {
  model_.SetEditable(true);
  FollowEditState();
  FollowFindings();
  unsetCursor();
  if (progress == nullptr) return;
  // Its Cancel button may be what called: it goes once that is over.
  progress->hide();
  progress->deleteLater();
  progress = nullptr;
}

bool Kestrolan::CheckUpdate() {
  TransferProgressDialog progress;
  const UpdateEnvironment environment{
      .prompts = prompts_,
      .host = BuiltInUpdateHost(),
      .executablePath = QCoreApplication::applicationFilePath(),
      .progress = &progress,
  };
  return OfferUpdate(environment, AppName, AppVersion);
}
