// kestrolan-db merge: the records of several databases in one archive, dropping the duplicates
// that combining them makes, if asked.
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/output_file.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/compare/database_merge.h"
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

// Adds the records of `archive` to `merger`, or false with the reason on standard error.
bool AddRecords(const std::string& archive, RecordMerger& merger) {
  const Status status = AddArchive(archive, merger);
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
  for (const std::string& archive : args.archives) {
    if (!AddRecords(archive, merger)) return kExitFailure;
  }
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
