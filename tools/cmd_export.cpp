// kestrolan-db export: writes a database archive's records as the window's CSV export does,
// all of them or those a filter expression matches.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "radardb/csv/csv_export.h"
#include "tools/commands.h"
#include "tools/filtered_load.h"

using namespace radardb;

namespace {

struct ExportArgs {
  std::string archive;
  std::string csv;
  std::optional<std::string> filter;
};

int RunExport(ExportArgs args) {
  if (args.csv.empty()) args.csv = CsvNameFor(args.archive);
  FilteredLoad loaded;
  const int failed = LoadFiltered("export", args.archive, args.filter, args.csv, loaded);
  if (failed != 0) return failed;
  const Status status = platform::WriteOutputFile(
      args.csv, [&](std::FILE* out) { WriteCsv(loaded.rows, &loaded.picked, out); });
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db export: %s\n", status.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefineExport(CLI::App& app) {
  auto args = std::make_shared<ExportArgs>();
  app.add_option("ARCHIVE", args->archive, "the archive to export")->required()->check(kNotEmpty);
  app.add_option("-o", args->csv,
                 "the CSV file (default: the archive's name with .csv; - for standard output)")
      ->check(kNotEmpty);
  app.add_option("--filter", args->filter, "only the records this filter expression matches");
  return [args] { return RunExport(*args); };
}

}  // namespace

extern const Command kExportCommand = {
    "export", "ARCHIVE [-o FILE.csv] [--filter EXPR]",
    "writes the database's records as CSV (default: the archive's name with .csv; - for "
    "standard output); with --filter only the records the expression matches, as the "
    "viewer's filter field does",
    DefineExport};
