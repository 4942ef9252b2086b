// kestrolan-db patch: applies a change list, the CSV that diff writes, to a database.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/compare/change_list.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;

namespace {

// The largest change list read: 4 GiB, the archive format's own limit.
constexpr std::uint64_t kMaxListSize = UINT32_MAX;

struct PatchArgs {
  std::string archive;
  std::string changes;
  std::string output;
};

int RunPatch(const PatchArgs& args) {
  if (!OutputsAreNotInputs({args.archive, args.changes}, {args.output})) return kExitUsage;
  std::string old;
  LzwStringSink sink(old);
  Status status = DecompressLzw(args.archive, sink);
  if (status.ok() && old.size() % kRadarRecordSize != 0) {
    status = Status::BadFormat(kEndsInsideRecord);
  }
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(args.archive).c_str(),
                 status.message().c_str());
    return kExitFailure;
  }
  std::string list;
  status = platform::ReadWholeFile(args.changes, list, kMaxListSize);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db patch: %s\n", status.message().c_str());
    return kExitFailure;
  }
  std::string patched;
  status = ApplyChangeList(old, list, patched);
  if (!status.ok()) {
    std::fprintf(stderr, "%s: %s\n", PrintableText(args.changes).c_str(), status.message().c_str());
    return status.code() == platform::StatusCode::kOutOfMemory ? kExitFailure : kExitUsage;
  }
  old = std::string();
  list = std::string();
  const std::string packed = CompressLzw(patched);
  if (packed.empty() && !patched.empty()) {
    std::fprintf(stderr,
                 "kestrolan-db patch: the records are too many for an archive (4 GiB at "
                 "most)\n");
    return kExitFailure;
  }
  status = platform::WriteOutputFile(args.output, packed);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db patch: %s\n", status.message().c_str());
    return kExitFailure;
  }
  return kExitSuccess;
}

CommandRun DefinePatch(CLI::App& app) {
  auto args = std::make_shared<PatchArgs>();
  app.add_option("OLD", args->archive, "the database to change")->required()->check(kNotEmpty);
  app.add_option("CHANGES.csv", args->changes, "the change list, as diff writes it")
      ->required()
      ->check(kNotEmpty);
  app.add_option("-o", args->output, "the new archive")->required()->check(kNotEmpty);
  return [args] { return RunPatch(*args); };
}

}  // namespace

extern const Command kPatchCommand = {
    "patch", "OLD CHANGES.csv -o NEW",
    "applies a change list as diff writes it to OLD: the records it names go, the records it "
    "gives are placed at their new_index, the rest are copied from OLD byte for byte; a line "
    "that does not fit OLD stops it (exit 2) and nothing is written",
    DefinePatch};
