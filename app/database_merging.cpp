// The window acting on other files' records: Add Records From… appends another database's records
// as kestrolan-db merge would, Apply Changes From… applies a change list as kestrolan-db patch
// would; each is one undoable step.
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

#include "app/kestrolan.h"
#include "app/prompts.h"
#include "app/record_editor.h"
#include "app/status_text.h"
#include "app/window_status.h"
#include "platform/file_ops.h"
#include "radardb/compare/change_list.h"
#include "radardb/compare/database_merge.h"
#include "radardb/edit/edited_save.h"

using namespace radardb;

namespace {

constexpr int kMergeMessageMs = 10000;
// The largest change list read: as large as kestrolan-db patch reads.
constexpr std::uint64_t kMaxChangeListSize = UINT32_MAX;

// The drop choices offered, in the order asked.
constexpr MergeDrop kDropChoices[] = {MergeDrop::kNothing, MergeDrop::kDuplicates,
                                      MergeDrop::kNearDuplicates};

QString AddedText(const MergeCounts& counts, std::size_t added) {
  const QString read = Thousands(counts.records.back());
  if (counts.nearDuplicates > 0) {
    return Kestrolan::tr("%1 records read; %2 duplicates and %3 near-duplicates dropped; %4 added")
        .arg(read, Thousands(counts.duplicates), Thousands(counts.nearDuplicates),
             Thousands(added));
  }
  return Kestrolan::tr("%1 records read; %2 duplicates dropped; %3 added")
      .arg(read, Thousands(counts.duplicates), Thousands(added));
}

}  // namespace

bool Kestrolan::RowRecords(std::string& records) {
  setCursor(Qt::BusyCursor);
  const Status built =
      BuildEditedRecords(NativePath(database_), model_.Rows(), model_.Log(), records);
  unsetCursor();
  if (built.ok()) return true;
  prompts_.Information(StatusText(built), QDir::toNativeSeparators(database_));
  return false;
}

void Kestrolan::AddRecordsFrom() {
  if (!actions_.addRecords->isEnabled()) return;
  if (fsAdd.directory.isEmpty()) fsAdd.directory = fsRadar.directory;
  if (!prompts_.OpenFile(fsAdd, tr("Add records from"))) return;
  const int choice = prompts_.Choose(
      tr("Which records of %1 should be left out?").arg(QFileInfo(fsAdd.file).fileName()),
      {tr("Keep all"), tr("Drop duplicates"),
       tr("Drop near-duplicates (within %1)").arg(kDefaultTolerance)});
  if (choice < 0 || choice >= static_cast<int>(std::size(kDropChoices))) return;
  std::string records;
  if (!RowRecords(records)) return;
  RecordMerger merger(kDropChoices[choice]);
  setCursor(Qt::BusyCursor);
  merger.AddKept(records);
  records = std::string();
  const Status read = AddArchive(NativePath(fsAdd.file), merger);
  unsetCursor();
  if (!read.ok()) {
    prompts_.Information(StatusText(read), QDir::toNativeSeparators(fsAdd.file));
    return;
  }
  const std::size_t offset = model_.Rows().size() * kRadarRecordSize;
  const std::string_view added = std::string_view(merger.Kept()).substr(offset);
  const std::size_t count = added.size() / kRadarRecordSize;
  editor_->AddRecords(added, tr("Add %n record(s)", nullptr, static_cast<int>(count)));
  statusBar()->showMessage(AddedText(merger.Counts(), count), kMergeMessageMs);
}

void Kestrolan::ApplyChangesFrom() {
  if (!actions_.applyChanges->isEnabled()) return;
  if (fsChanges.directory.isEmpty()) fsChanges.directory = fsRadar.directory;
  if (!prompts_.OpenFile(fsChanges, tr("Apply changes from"))) return;
  const QString path = QDir::toNativeSeparators(fsChanges.file);
  std::string list;
  const Status readList =
      platform::ReadWholeFile(NativePath(fsChanges.file), list, kMaxChangeListSize);
  if (!readList.ok()) {
    prompts_.Information(StatusText(readList), path);
    return;
  }
  std::string records;
  if (!RowRecords(records)) return;
  ChangePlan plan;
  const Status planned = PlanChangeList(records, list, plan);
  if (!planned.ok()) {
    prompts_.Information(
        QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), StatusText(planned)), path);
    return;
  }
  records = std::string();
  editor_->ApplyChanges(plan, tr("Apply changes from %1").arg(QFileInfo(path).fileName()));
  statusBar()->showMessage(tr("Changes applied: %1 records taken out, %2 put in")
                               .arg(Thousands(plan.named.size()), Thousands(plan.places.size())),
                           kMergeMessageMs);
}
