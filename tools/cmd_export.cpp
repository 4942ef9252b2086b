// kestrolan-db export: writes a database archive's records as the window's CSV export does,
// all of them or those a filter expression matches.
#include <cstdio>
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

std::optional<ExportArgs> ParseExportArgs(const CommandArgs& args) {
  ExportArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && !haveOutput) {
      parsed.csv = args[++i];
      haveOutput = true;
    } else if (args[i] == "--filter" && i + 1 < args.size() && !parsed.filter) {
      parsed.filter = args[++i];
    } else if (parsed.archive.empty() && !args[i].empty() && args[i] != "-o" &&
               args[i] != "--filter") {
      parsed.archive = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (parsed.archive.empty()) return std::nullopt;
  if (!haveOutput) parsed.csv = CsvNameFor(parsed.archive);
  return parsed;
}

int RunExport(const CommandArgs& args) {
  const std::optional<ExportArgs> parsed = ParseExportArgs(args);
  if (!parsed) return UsageError(CommandNamed("export"));
  FilteredLoad loaded;
  const int failed = LoadFiltered("export", parsed->archive, parsed->filter, parsed->csv, loaded);
  if (failed != 0) return failed;
  const Status status = platform::WriteOutputFile(
      parsed->csv, [&](std::FILE* out) { WriteCsv(loaded.rows, &loaded.picked, out); });
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db export: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kExportCommand = {
    "export", "ARCHIVE [-o FILE.csv] [--filter EXPR]",
    "writes the database's records as CSV (default: the archive's name with .csv; - for "
    "standard output); with --filter only the records the expression matches, as the "
    "viewer's filter field does",
    RunExport};
