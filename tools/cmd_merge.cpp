// kestrolan-db merge: the records of several databases in one archive, dropping the duplicates
// that combining them makes, if asked.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/compare/database_merge.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;

namespace {

struct MergeArgs {
  std::vector<std::string> archives;
  std::string output;
  MergeDrop drop = MergeDrop::kNothing;
  int tolerance = kDefaultTolerance;
};

// The expanded records of `archive`, or false with the reason on standard error.
bool ReadRecords(const std::string& archive, std::string& records) {
  records.clear();
  LzwStringSink sink(records);
  Status status = DecompressLzw(archive, sink);
  if (status.ok() && records.size() % kRadarRecordSize != 0) {
    status = Status::BadFormat(kEndsInsideRecord);
  }
  if (status.ok()) return true;
  std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(archive).c_str(),
               status.message().c_str());
  return false;
}

int RunMerge(const MergeArgs& args) {
  for (const std::string& archive : args.archives) {
    if (!OutputsAreNotInputs({archive}, {args.output})) return kExitUsage;
  }
  RecordMerger merger(args.drop, args.tolerance);
  std::string records;
  for (const std::string& archive : args.archives) {
    if (!ReadRecords(archive, records)) return kExitFailure;
    merger.Add(records);
  }
  records = std::string();
  const std::string packed = CompressLzw(merger.Kept());
  if (packed.empty() && !merger.Kept().empty()) {
    std::fprintf(stderr,
                 "kestrolan-db merge: the records are too many for an archive (4 GiB at "
                 "most)\n");
    return kExitFailure;
  }
  const Status written = platform::WriteOutputFile(args.output, packed);
  if (!written.ok()) {
    std::fprintf(stderr, "kestrolan-db merge: %s\n", written.message().c_str());
    return kExitFailure;
  }
  std::fprintf(stderr, "%s\n", MergeSummary(merger.Counts()).c_str());
  return kExitSuccess;
}

CommandRun DefineMerge(CLI::App& app) {
  auto args = std::make_shared<MergeArgs>();
  app.add_option("ARCHIVES", args->archives, "the databases, in the order their records go")
      ->required()
      ->expected(2, -1)
      ->check(kNotEmpty);
  app.add_option("-o", args->output, "the new archive")->required()->check(kNotEmpty);
  const std::map<std::string, MergeDrop> drops = {{"duplicates", MergeDrop::kDuplicates},
                                                  {"near-duplicates", MergeDrop::kNearDuplicates}};
  app.add_option("--drop", args->drop,
                 "leave out records identical to a kept one (duplicates), or also those near one "
                 "(near-duplicates)")
      ->transform(CLI::CheckedTransformer(drops));
  app.add_option("--tolerance", args->tolerance,
                 "grid units within which a record is near another (default 25)")
      ->check(CLI::Range(0, kMaxTolerance));
  return [args] { return RunMerge(*args); };
}

}  // namespace

extern const Command kMergeCommand = {
    "merge", "A B [C ...] -o OUT [--drop duplicates|near-duplicates [--tolerance N]]",
    "writes the records of A, then B's, and so on, byte for byte, into a new archive; --drop "
    "leaves out a record identical to one already kept (duplicates) or also one of the same "
    "category within N grid units and 10 degrees of direction (near-duplicates)",
    DefineMerge};
