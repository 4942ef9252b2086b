#include "app/kestrolan.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QIcon>
#include <QMimeData>
#include <QShortcut>
#include <algorithm>

#include "app/anchor_layout.h"
#include "app/filter_field.h"
#include "app/load_feedback.h"
#include "app/map_window.h"
#include "app/prompts.h"
#include "app/record_table_view.h"
#include "app/transfer_progress_dialog.h"
#include "radardb/compare/compared_rows.h"
#include "radardb/csv/csv_export.h"
#include "radardb/records/load_database.h"
#include "update/app_identity.h"
#include "update/update_check.h"

using namespace radardb;
using namespace update;

namespace {

// The layout's size in layout units; the window's first and smallest client size, zoomed.
constexpr QSize kDesignSize(752, 392);
constexpr char kIconPath[] = ":/KestrolanImg/Icon";

bool HasLocalFile(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

FileSelector MakeSelector(const QString& typeName, const QStringList& patterns) {
  FileSelector selector;
  selector.types = {{typeName, patterns}, {QStringLiteral("All files"), {QStringLiteral("*")}}};
  return selector;
}

}  // namespace

QString KestrolanTitle() {
  return QStringLiteral("%1 - %2 - %3 - by Tolvenqar").arg(AppName, AppVersion, AppDate);
}

QIcon KestrolanIcon() { return QIcon(QString::fromLatin1(kIconPath)); }

Kestrolan::Kestrolan(Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(prompts) {
  setupUi(this);
  setWindowIcon(KestrolanIcon());

  auto* anchors = new AnchorLayout(kDesignSize, LayoutZoom(font()), this);
  anchors->AddAnchored(btLoad, {Anchor::kLeading, 12, 88}, {Anchor::kLeading, 12, 24});
  anchors->AddAnchored(esFilename, {Anchor::kBoth, 112, 16}, {Anchor::kLeading, 12, 24});
  anchors->AddAnchored(acList, {Anchor::kBoth, 12, 12}, {Anchor::kBoth, 48, 48});
  anchors->AddAnchored(btExport, {Anchor::kLeading, 12, 88}, {Anchor::kTrailing, 12, 24});
  anchors->AddAnchored(esFilter, {Anchor::kBoth, 112, 280}, {Anchor::kTrailing, 12, 24});
  anchors->AddAnchored(lbCount, {Anchor::kTrailing, 112, 160}, {Anchor::kTrailing, 12, 24});
  anchors->AddAnchored(btExit, {Anchor::kTrailing, 12, 88}, {Anchor::kTrailing, 12, 24});
  resize(anchors->sizeHint());
  setMinimumSize(anchors->minimumSize());

  setWindowTitle(KestrolanTitle());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

  fsRadar = MakeSelector(QStringLiteral("Radar file"),
                         {QStringLiteral("radar.lzw"), QStringLiteral("dangerz.lzw")});
  fsCsv = MakeSelector(QStringLiteral("CSV file"), {QStringLiteral("*.csv")});
  fsCompare = fsRadar;

  ConfigureRecordView(*acList, model_);
  ConfigureFilterField(*esFilter, *lbCount, model_);
  btExport->setEnabled(false);

  connect(btLoad, &QPushButton::clicked, this, &Kestrolan::OpenRadarFile);
  connect(btExport, &QPushButton::clicked, this, &Kestrolan::ExportCsv);
  connect(btExit, &QPushButton::clicked, this, &Kestrolan::ExitProgram);
  AddShortcuts();
  setAcceptDrops(true);
}

void Kestrolan::AddShortcuts() {
  const auto add = [this](const char* keys, auto action) {
    connect(new QShortcut(QKeySequence(QString::fromLatin1(keys)), this), &QShortcut::activated,
            this, action);
  };
  add("Ctrl+O", [this] { btLoad->click(); });
  add("Ctrl+E", [this] { btExport->click(); });  // a disabled button ignores the click
  add("Ctrl+F", [this] {
    esFilter->setFocus(Qt::ShortcutFocusReason);
    esFilter->selectAll();
  });
  add("Ctrl+Q", [this] { btExit->click(); });

  // Commands of the table's context menu, with a key anywhere in the window.
  const auto addMenuCommand = [this](const QString& text, const char* keys,
                                     void (Kestrolan::*slot)()) {
    auto* action = new QAction(text, acList);
    action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, slot);
    acList->addAction(action);
    return action;
  };
  addMenuCommand(QStringLiteral("Show map"), "Ctrl+M", &Kestrolan::ShowMap);
  compareWith_ =
      addMenuCommand(QStringLiteral("Compare with\u2026"), "Ctrl+D", &Kestrolan::CompareWith);
  compareWith_->setEnabled(false);  // until a database is loaded
}

Kestrolan::~Kestrolan() = default;

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
  if (!prompts_.OpenFile(fsRadar, QStringLiteral("Open Radar file"))) return;
  LoadRadarFile(fsRadar.file);
}

void Kestrolan::ExitProgram() {
  if (loop_ != nullptr) loop_->exit(kExitCode);
}

void Kestrolan::closeEvent(QCloseEvent* event) {
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
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    RememberChoice(fsRadar, path);
    LoadRadarFile(path);
  }
}

void Kestrolan::LoadRadarFile(QString path) {
  LoadOutcome outcome;
  {
    LoadFeedback feedback(this);
    outcome = LoadDatabase(NativePath(path), feedback.Callback());
  }
  using Result = LoadOutcome::Result;
  // A damaged database still replaces the table, with nothing to export; a failed or cancelled
  // load leaves everything as it was.
  if (outcome.result == Result::kLoaded || outcome.result == Result::kDamaged) {
    StopComparing();
    model_.SetRows(std::move(outcome.rows));
    compareWith_->setEnabled(true);
    ReapplySort(*acList);
    esFilename->setText(path);
    btExport->setEnabled(outcome.result == Result::kLoaded);
  }
  if (outcome.result == Result::kDamaged || outcome.result == Result::kFailed) {
    prompts_.Information(QString::fromStdString(outcome.status.message()));
  }
}

void Kestrolan::ExportCsv() {
  fsCsv.file = QFile::decodeName(QByteArray::fromStdString(CsvNameFor(NativePath(fsRadar.file))));
  if (!prompts_.SaveFile(fsCsv, QStringLiteral("Save as"))) return;
  const std::string path = NativePath(fsCsv.file);
  const ComparedRows* compared = model_.Comparison();
  const Status exported = compared != nullptr
                              ? ExportComparedCsvFile(*compared, model_.Order(), path)
                              : ExportCsvFile(model_.Rows(), &model_.Order(), path);
  prompts_.Information(exported.ok() ? QStringLiteral("Done.")
                                     : QString::fromStdString(exported.message()));
}

void Kestrolan::ShowMap() {
  if (map_ == nullptr) map_ = new MapWindow(model_, *acList, *esFilter, prompts_, this);
  map_->ShowBeside(*this);
}

void Kestrolan::CompareWith() {
  if (!compareWith_->isEnabled()) return;
  if (fsCompare.directory.isEmpty()) fsCompare.directory = fsRadar.directory;
  if (!prompts_.OpenFile(fsCompare, QStringLiteral("Compare with"))) return;
  StopComparing();
  setCursor(Qt::BusyCursor);
  compareProgress_ =
      NewProgressDialog(QStringLiteral("Comparing with %1").arg(fsCompare.file), this);
  compareProgress_->setMinimumDuration(LoadFeedback::kDelayMs);
  compareProgress_->setValue(0);  // shows it once the comparison has run that long
  connect(compareProgress_, &QProgressDialog::canceled, this, &Kestrolan::StopComparing);

  compareJob_.Post([this, rows = model_.SharedRows(),
                    old = NativePath(fsCompare.file)](std::stop_token) -> std::function<void()> {
    std::shared_ptr<const ComparedRows> compared;
    const Status status = CompareWithArchive(old, rows, compared);
    return [this, status, compared] {
      StopComparing();
      if (!status.ok()) {
        prompts_.Information(QString::fromStdString(status.message()));
        return;
      }
      model_.SetComparison(compared);
      ReapplySort(*acList);
    };
  });
}

void Kestrolan::StopComparing() {
  compareJob_.Cancel();
  unsetCursor();
  if (compareProgress_ == nullptr) return;
  // Its Cancel button may be what called: it goes once that is over.
  compareProgress_->hide();
  compareProgress_->deleteLater();
  compareProgress_ = nullptr;
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
