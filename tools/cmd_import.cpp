// kestrolan-db import: rebuilds a database archive from a CSV file in the export's format, for
// databases edited in a spreadsheet.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/csv/csv_import.h"
#include "radardb/text/utf8_text.h"
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

int RunImport(const ImportArgs& args) {
  if (!OutputsAreNotInputs({args.csv}, {args.archive})) return kExitUsage;
  std::string csv;
  Status status = platform::ReadWholeFile(args.csv, csv, kMaxCsvSize);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", status.message().c_str());
    return kExitFailure;
  }
  std::string records;
  status = CsvToRecords(csv, records);
  if (!status.ok()) {
    std::fprintf(stderr, "%s: %s\n", PrintableText(args.csv).c_str(), status.message().c_str());
    return kExitFailure;
  }
  csv = std::string();
  const std::string archive = CompressLzw(records);
  records = std::string();
  if (archive.empty()) {
    std::fprintf(stderr, "kestrolan-db import: %s: too large for an archive (4 GiB at most)\n",
                 PrintableText(args.csv).c_str());
    return kExitFailure;
  }
  status = platform::WriteOutputFile(args.archive, archive);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db import: %s\n", status.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefineImport(CLI::App& app) {
  auto args = std::make_shared<ImportArgs>();
  app.add_option("FILE.csv", args->csv,
                 "the CSV file, in the export's format (- for standard input)")
      ->required()
      ->check(kNotEmpty);
  app.add_option("-o", args->archive, "the new archive")->required()->check(kNotEmpty);
  return [args] { return RunImport(*args); };
}

}  // namespace

extern const Command kImportCommand = {
    "import", "FILE.csv -o ARCHIVE",
    "builds a database archive from a CSV file in the export's format", DefineImport};
