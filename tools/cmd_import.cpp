// kestrolan-db import: rebuilds a database archive from a CSV file in the export's format, for
// databases edited in a spreadsheet.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/csv/csv_import.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

// The largest CSV read: 4 GiB, the archive format's own limit.
constexpr std::uint64_t kMaxCsvSize = UINT32_MAX;

struct ImportArgs {
  std::string csv;
  std::string archive;
};

std::optional<ImportArgs> ParseImportArgs(const CommandArgs& args) {
  ImportArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && !haveOutput) {
      parsed.archive = args[++i];
      haveOutput = true;
    } else if (parsed.csv.empty() && !args[i].empty() && args[i] != "-o") {
      parsed.csv = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (parsed.csv.empty() || !haveOutput) return std::nullopt;
  return parsed;
}

int RunImport(const CommandArgs& args) {
  const std::optional<ImportArgs> parsed = ParseImportArgs(args);
  if (!parsed) return UsageError(CommandNamed("import"));
  std::string csv;
  Status status = platform::ReadWholeFile(parsed->csv, csv, kMaxCsvSize);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", status.message().c_str());
    return 1;
  }
  std::string records;
  status = CsvToRecords(csv, records);
  if (!status.ok()) {
    std::fprintf(stderr, "%s: %s\n", parsed->csv.c_str(), status.message().c_str());
    return 1;
  }
  csv = std::string();
  const std::string archive = CompressLzw(records);
  records = std::string();
  if (archive.empty()) {
    std::fprintf(stderr, "kestrolan-db import: %s: too large for an archive (4 GiB at most)\n",
                 parsed->csv.c_str());
    return 1;
  }
  status = platform::WriteOutputFile(parsed->archive, archive);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kImportCommand = {
    "import", "FILE.csv -o ARCHIVE",
    "builds a database archive from a CSV file in the export's format", RunImport};
