// kestrolan-db export: writes a database archive's records as the window's CSV export does.
#include <cstdio>
#include <optional>
#include <string>

#include "radardb/csv_export.h"
#include "radardb/load_database.h"
#include "tools/commands.h"
#include "tools/output_file.h"

namespace {

constexpr char kCsvExtension[] = ".csv";
#ifdef _WIN32
constexpr char kPathSeparators[] = "\\/:";
#else
constexpr char kPathSeparators[] = "/";
#endif

struct ExportArgs {
  std::string archive;
  std::string csv;
};

// The archive's path cut at the extension of its file name, plus ".csv".
std::string CsvNameFor(const std::string& archive) {
  const std::size_t separator = archive.find_last_of(kPathSeparators);
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = archive.rfind('.');
  const std::size_t cut = dot != std::string::npos && dot >= nameStart ? dot : archive.size();
  return archive.substr(0, cut) + kCsvExtension;
}

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
  if (!loaded.message.empty()) {
    std::fprintf(stderr, "%s\n", loaded.message.c_str());
    return 1;
  }
  OutputFile out;
  std::string error;
  if (!out.Open(parsed->csv, error)) {
    std::fprintf(stderr, "kestrolan-db export: %s\n", error.c_str());
    return 1;
  }
  // A failed write leaves the stream's error flag set, which Commit reports.
  WriteCsv(loaded.rows, {}, out.Stream());
  if (!out.Commit(error)) {
    std::fprintf(stderr, "kestrolan-db export: %s\n", error.c_str());
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
