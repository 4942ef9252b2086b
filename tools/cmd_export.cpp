// kestrolan-db export: writes a database archive's records as the window's CSV export does.
#include <cstdio>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "radardb/csv_export.h"
#include "radardb/load_database.h"
#include "tools/commands.h"

namespace {

struct ExportArgs {
  std::string archive;
  std::string csv;
};

std::optional<ExportArgs> ParseExportArgs(const CommandArgs& args) {
  ExportArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && !haveOutput) {
      parsed.csv = args[++i];
      haveOutput = true;
    } else if (parsed.archive.empty() && !args[i].empty() && args[i] != "-o") {
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
  if (parsed->csv == parsed->archive) {
    std::fprintf(stderr,
                 "kestrolan-db export: '%s' would replace the archive; name another with -o\n",
                 parsed->archive.c_str());
    return 1;
  }
  const LoadOutcome loaded = LoadDatabase(parsed->archive);
  if (!loaded.status.ok()) {
    std::fprintf(stderr, "%s\n", loaded.status.message().c_str());
    return 1;
  }
  platform::OutputFile out;
  Status status = out.Open(parsed->csv);
  if (status.ok()) {
    // A failed write leaves the stream's error flag set, which Commit reports.
    WriteCsv(loaded.rows, {}, out.Stream());
    status = out.Commit();
  }
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db export: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kExportCommand = {
    "export", "ARCHIVE [-o FILE.csv]",
    "writes the database's records as CSV (default: the archive's name with .csv; - for "
    "standard output)",
    RunExport};
