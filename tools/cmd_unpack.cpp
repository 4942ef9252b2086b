// kestrolan-db unpack: expands an archive into the raw database bytes.
#include <cstdio>
#include <string>

#include "radardb/lzw_archive.h"
#include "tools/commands.h"
#include "tools/output_file.h"

namespace {

int RunUnpack(const CommandArgs& args) {
  if (args.size() != 3 || args[1] != "-o" || args[0].empty() || args[2].empty()) {
    return UsageError(CommandNamed("unpack"));
  }
  const std::string& archivePath = args[0];
  OutputFile out;
  std::string error;
  if (!out.Open(args[2], error)) {
    std::fprintf(stderr, "kestrolan-db: %s\n", error.c_str());
    return 1;
  }
  const std::string failure = ExpandLzwArchive(archivePath, out.Stream());
  if (!failure.empty()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", archivePath.c_str(), failure.c_str());
    return 1;
  }
  if (!out.Commit(error)) {
    std::fprintf(stderr, "kestrolan-db: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

extern const Command kUnpackCommand = {
    "unpack", "ARCHIVE -o FILE", "expands ARCHIVE into FILE (- for standard output)", RunUnpack};
