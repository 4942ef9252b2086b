// kestrolan-db info: describes an archive: header, blocks, sizes and the records it holds.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "platform/file_ops.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_format.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/records/radar_record.h"
#include "tools/commands.h"

using namespace radardb;

namespace {

int RunInfo(const CommandArgs& args) {
  if (args.size() != 1 || args[0].empty()) return UsageError(CommandNamed("info"));
  const std::string& path = args[0];
  const platform::File file = platform::OpenFile(path, "rb");
  if (!file) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", path.c_str(), kLzwFileNotFound);
    return 1;
  }
  LzwFileSource source(file.get());
  LzwArchiveLayout layout;
  const Status read = ReadLzwLayout(source, layout);
  if (!read.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", path.c_str(), read.message().c_str());
    return 1;
  }
  const std::uint32_t expanded = layout.expandedSize;
  std::printf("archive: %s\n", path.c_str());
  std::printf("file size: %" PRIu64 " bytes\n", layout.fileSize);
  std::printf("magic: RS\n");
  std::printf("blocks: %" PRIu32 "\n", layout.blockCount);
  std::printf("block table offset: %" PRIu32 "\n", layout.tableOffset);
  std::printf("reserved: 0x%08" PRIX32 "\n", layout.reserved);
  std::printf("compressed size: %" PRId64 " bytes\n",
              std::int64_t{layout.tableOffset} - std::int64_t{layout.firstBlockStart});
  std::printf("expanded size: %" PRIu32 " bytes\n", expanded);

  LzwCountingSink counter;
  const Status counted = ExpandLzwBlocks(source, layout, counter);
  if (!counted.ok()) {
    std::printf("records: unknown (%s)\n", counted.message().c_str());
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", path.c_str(), counted.message().c_str());
    return 1;
  }
  if (expanded % kRadarRecordSize != 0) {
    std::printf("records: none (%" PRIu32 " bytes is not a whole number of %zu-byte records)\n",
                expanded, kRadarRecordSize);
  } else {
    std::printf("records: %" PRIu32 "\n", expanded / static_cast<std::uint32_t>(kRadarRecordSize));
  }
  return 0;
}

}  // namespace

extern const Command kInfoCommand = {
    "info", "ARCHIVE", "shows the header, blocks, sizes and record count of ARCHIVE", RunInfo};
