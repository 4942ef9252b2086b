#include "radardb/archive/lzw_archive.h"

#include "platform/file_ops.h"
#include "radardb/archive/lzw_io.h"

namespace radardb {

Status DecompressLzw(const std::string& archivePath, LzwOutputSink& out,
                     const DecompressOptions& options) {
  const platform::File archive = platform::OpenFile(archivePath, "rb");
  if (!archive) return LzwFileNotFound();
  LzwFileSource source(archive.get());
  LzwArchiveLayout layout;
  if (Status status = ReadLzwLayout(source, layout); !status.ok()) return status;
  return ExpandLzwBlocks(source, layout, out, options.progress, options.threads);
}

}  // namespace radardb
