// kestrolan-db unpack: expands an archive into the raw database bytes.
#include <cstdio>
#include <string>

#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_io.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

int RunUnpack(const CommandArgs& args) {
  if (args.size() != 3 || args[1] != "-o" || args[0].empty() || args[2].empty()) {
    return UsageError(CommandNamed("unpack"));
  }
  const std::string& archivePath = args[0];
  platform::OutputFile out;
  Status status = out.Open(args[2]);
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", status.message().c_str());
    return 1;
  }
  LzwFileSink sink(out.Stream());
  const Status expanded = DecompressLzw(archivePath, sink);
  // A failed write is the output's fault, not the archive's: name the output and the reason.
  if (sink.Error() != 0) {
    std::fprintf(stderr, "kestrolan-db: %s\n", out.WriteFailure(sink.Error()).message().c_str());
    return 1;
  }
  if (!expanded.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", archivePath.c_str(), expanded.message().c_str());
    return 1;
  }
  status = out.Commit();
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s\n", status.message().c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kUnpackCommand = {
    "unpack", "ARCHIVE -o FILE", "expands ARCHIVE into FILE (- for standard output)", RunUnpack};
