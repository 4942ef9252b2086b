// kestrolan-db info: describes an archive: header, blocks, sizes and the records it holds.
#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_ops.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_format.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/records/radar_record.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;

namespace {

int RunInfo(const std::string& path) {
  const std::string shown = PrintableText(path);
  const platform::File file = platform::OpenFile(path, "rb");
  if (!file) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", shown.c_str(), kLzwFileNotFound);
    return kExitFailure;
  }
  LzwFileSource source(file.get());
  LzwArchiveLayout layout;
  const Status read = ReadLzwLayout(source, layout);
  if (!read.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", shown.c_str(), read.message().c_str());
    return kExitFailure;
  }
  const std::uint32_t expanded = layout.expandedSize;
  std::printf("archive: %s\n", shown.c_str());
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
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", shown.c_str(), counted.message().c_str());
    return kExitFailure;
  }
  if (expanded % kRadarRecordSize != 0) {
    std::printf("records: none (%" PRIu32 " bytes is not a whole number of %zu-byte records)\n",
                expanded, kRadarRecordSize);
  } else {
    std::printf("records: %" PRIu32 "\n", expanded / static_cast<std::uint32_t>(kRadarRecordSize));
  }
  return kExitSuccess;
}

CommandRun DefineInfo(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  app.add_option("ARCHIVE", *path, "the archive to describe")->required()->check(kNotEmpty);
  return [path] { return RunInfo(*path); };
}

}  // namespace

extern const Command kInfoCommand = {
    "info", "ARCHIVE", "shows the header, blocks, sizes and record count of ARCHIVE", DefineInfo};
