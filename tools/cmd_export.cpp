// kestrolan-db export: writes a database archive's records as the window's CSV export does,
// all of them or those a filter expression matches.
#include <cstdio>
#include <numeric>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "radardb/csv_export.h"
#include "radardb/load_database.h"
#include "radardb/record_filter.h"
#include "tools/commands.h"

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
  RecordFilter filter;
  if (parsed->filter) {
    const Status valid = RecordFilter::Parse(*parsed->filter, filter);
    if (!valid.ok()) {
      std::fprintf(stderr, "kestrolan-db export: --filter: %s\n", valid.message().c_str());
      return 2;
    }
  }
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
  std::optional<std::vector<std::uint32_t>> matching;
  if (!filter.empty()) {
    std::vector<std::uint32_t> all(loaded.rows.size());
    std::iota(all.begin(), all.end(), std::uint32_t{0});
    matching = MatchingRows(filter, RecordTableSource(loaded.rows), all);
  }
  platform::OutputFile out;
  Status status = out.Open(parsed->csv);
  if (status.ok()) {
    // A failed write leaves the stream's error flag set, which Commit reports.
    WriteCsv(loaded.rows, matching ? &*matching : nullptr, out.Stream());
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
    "export", "ARCHIVE [-o FILE.csv] [--filter EXPR]",
    "writes the database's records as CSV (default: the archive's name with .csv; - for "
    "standard output); with --filter only the records the expression matches, as the "
    "viewer's filter field does",
    RunExport};
