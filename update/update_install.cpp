#include "update/update_install.h"

#include <QFile>

#include "app/prompts.h"
#include "update/update_paths.h"
#include "update/update_replace_file.h"
#include "update/zip_reader.h"

namespace {

void ReportEntry(Prompts& prompts, const std::string& storedPath) {
  prompts.Information("Error creating file : " + QString::fromUtf8(storedPath));
}

bool WriteAll(QFile& file, const char* data, size_t size) {
  return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
}

enum class EntryResult { kInstalled, kSkipped, kStop };

// Installs the entry the reader stands on. kSkipped and kStop have been reported.
EntryResult InstallEntry(ZipReader& reader, const ZipEntry& entry, const QString& directory,
                         Prompts& prompts) {
  const QByteArray storedPath = QByteArray::fromStdString(entry.path);
  if (entry.kind != ZipEntryKind::kFile || !IsSafeStoredPath(storedPath)) {
    ReportEntry(prompts, entry.path);
    return reader.Skip() ? EntryResult::kSkipped : EntryResult::kStop;
  }
  const auto fill = [&reader](QFile& file) {
    return reader.Extract(
        [&file](const char* data, size_t size) { return WriteAll(file, data, size); });
  };
  switch (ReplaceFile(directory + QFile::decodeName(storedPath), entry.mode, fill)) {
    case ReplaceResult::kReplaced:
      return EntryResult::kInstalled;
    case ReplaceResult::kNotCreated:
      ReportEntry(prompts, entry.path);
      return reader.Skip() ? EntryResult::kSkipped : EntryResult::kStop;
    case ReplaceResult::kNotFilled:
      break;
  }
  ReportEntry(prompts, entry.path);
  return EntryResult::kStop;
}

}  // namespace

InstallResult InstallArchive(const QByteArray& archive, const QString& directory,
                             Prompts& prompts) {
  ZipReader reader(archive.constData(), static_cast<size_t>(archive.size()));
  ZipEntry entry;
  ZipReader::Step step = reader.Next(entry);
  if (step != ZipReader::Step::kEntry) return InstallResult::kNotAnArchive;

  bool success = true;
  for (; step == ZipReader::Step::kEntry; step = reader.Next(entry)) {
    const EntryResult result = InstallEntry(reader, entry, directory, prompts);
    if (result != EntryResult::kInstalled) success = false;
    if (result == EntryResult::kStop) return InstallResult::kFailed;
  }
  if (step == ZipReader::Step::kFailed) {
    // A header that cannot be read: the entries behind it are lost, so the update is incomplete.
    ReportEntry(prompts, entry.path);
    success = false;
  }
  return success ? InstallResult::kInstalled : InstallResult::kFailed;
}
