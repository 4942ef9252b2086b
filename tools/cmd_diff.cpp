// kestrolan-db diff: what changed between two releases of a database, as diff(1) reports files.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <thread>

#include "platform/output_file.h"
#include "radardb/compare/database_diff.h"
#include "radardb/compare/diff_report.h"
#include "radardb/records/record_scan.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

struct DiffArgs {
  std::string oldArchive;
  std::string newArchive;
  std::string csv = "-";
  int tolerance = kDefaultTolerance;
  bool summaryOnly = false;
};

// Reads OLD on a second thread while NEW is read on this one. Reports each archive that fails.
bool ReadBoth(const DiffArgs& args, RecordTable& oldRows, RecordTable& newRows) {
  Status oldRead;
  std::thread oldReader([&] { oldRead = ReadArchiveRows(args.oldArchive, oldRows); });
  Status newRead = ReadArchiveRows(args.newArchive, newRows);
  oldReader.join();
  for (const auto& [path, status] :
       {std::pair{&args.oldArchive, &oldRead}, std::pair{&args.newArchive, &newRead}}) {
    if (!status->ok()) {
      std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(*path).c_str(),
                   status->message().c_str());
    }
  }
  return oldRead.ok() && newRead.ok();
}

int CompareArchives(const DiffArgs& args) {
  if (!OutputsAreNotInputs({args.oldArchive, args.newArchive}, {args.csv})) return kExitTrouble;
  RecordTable oldRows, newRows;
  if (!ReadBoth(args, oldRows, newRows)) return kExitTrouble;
  const DatabaseDiff diff = CompareDatabases(oldRows, newRows, args.tolerance);
  if (!diff.status.ok()) {
    std::fprintf(stderr, "kestrolan-db diff: %s\n", diff.status.message().c_str());
    return kExitTrouble;
  }
  if (!args.summaryOnly) {
    const Status written = platform::WriteOutputFile(
        args.csv, [&](std::FILE* out) { WriteDiffCsv(oldRows, newRows, diff, out); });
    if (!written.ok()) {
      std::fprintf(stderr, "kestrolan-db diff: %s\n", written.message().c_str());
      return kExitTrouble;
    }
  }
  std::fprintf(stderr, "%s\n", DiffSummary(diff.counts).c_str());
  return diff.HasDifferences() ? kExitFound : kExitSuccess;
}

CommandRun DefineDiff(CLI::App& app) {
  auto args = std::make_shared<DiffArgs>();
  app.add_option("OLD", args->oldArchive, "the earlier release")->required()->check(kNotEmpty);
  app.add_option("NEW", args->newArchive, "the later release")->required()->check(kNotEmpty);
  app.add_option("--tolerance", args->tolerance,
                 "grid units within which a record counts as moved (default 25)")
      ->check(CLI::Range(0, kMaxTolerance));
  CLI::Option* output =
      app.add_option("-o", args->csv, "the CSV file (default: standard output)")->check(kNotEmpty);
  app.add_flag("--summary", args->summaryOnly, "the counts only")->excludes(output);
  return [args] { return CompareArchives(*args); };
}

}  // namespace

extern const Command kDiffCommand = {
    "diff", "OLD NEW [--tolerance N] [-o FILE.csv] [--summary]",
    "lists the records added, removed, moved or changed from OLD to NEW as CSV (default: "
    "standard output; --summary: the counts only); exit 0 same, 1 different, 2 trouble",
    DefineDiff, kExitTrouble};
