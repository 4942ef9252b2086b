// The window's Export operation: asks for the CSV file and writes the table in its shown order.
#include <QDir>
#include <QFile>

#include "app/kestrolan.h"
#include "app/prompts.h"
#include "radardb/csv_export.h"

namespace {

// The CSV name offered for the database last picked with Load: the same path with its extension
// replaced by ".csv" (appended when the name has none); just ".csv" when nothing was picked.
QString CsvNameFor(const QString& databasePath) {
  const QString path = QDir::fromNativeSeparators(databasePath);
  const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  const QString stem = dot >= nameStart ? path.left(dot) : path;
  return QDir::toNativeSeparators(stem + QStringLiteral(".csv"));
}

}  // namespace

void Kestrolan::ExportCsv() {
  fsCsv.file = CsvNameFor(fsRadar.file);
  if (!prompts_.SaveFile(fsCsv, QStringLiteral("Save as"))) return;
  const std::string failure =
      ExportCsvFile(model_.Rows(), model_.Order(), QFile::encodeName(fsCsv.file).toStdString());
  prompts_.Information(failure.empty() ? QStringLiteral("Done.") : QString::fromStdString(failure));
}
