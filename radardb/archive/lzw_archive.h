#pragma once

#include <string>

#include "radardb/archive/lzw_errors.h"
#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_output.h"

namespace radardb {

// Reading radar database archives ("radar.lzw", "dangerz.lzw") from disk: a 14-byte header, LZW
// blocks, and a block table at the end. Every failure carries one of the texts of lzw_errors.h.

struct DecompressOptions {
  // Told the bytes expanded so far; may stop the expansion. None by default.
  LzwProgress progress;
  // Threads that decode blocks side by side (see ExpandLzwBlocks); 0: WorkThreads().
  unsigned threads = 0;
};

// Expands the archive at `archivePath` into `out`, in order and from the calling thread, as it
// is decoded: nothing is written to disk on the way. Fails with "LZW file not found" when the
// archive cannot be opened, with the texts of ReadLzwLayout and ExpandLzwBlocks otherwise, and
// with Status::Cancelled() when `options.progress` stopped it.
Status DecompressLzw(const std::string& archivePath, LzwOutputSink& out,
                     const DecompressOptions& options = {});

}  // namespace radardb
