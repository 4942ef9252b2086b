#pragma once

#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_io.h"

namespace radardb {

// Expands the blocks of `layout` from `archive` into `out` as a decode of one block after the
// other does, byte for byte and failure for failure (the first block in table order that fails
// decides), while `threads` threads decode blocks side by side. `out` is given the blocks'
// bytes in order, from the calling thread. Fails as ExpandLzwBlocks does (kLzwTempFileError when
// `out` refused bytes). Throws std::bad_alloc when memory runs out. Memory: a dictionary per thread
// and a few blocks per thread, compressed and expanded; a block that promises more than
// LzwOutput::kHeldWhole bytes is decoded on the calling thread straight into `out`.
Status ExpandLzwBlocksInParallel(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                                 LzwOutputSink& out, unsigned threads);

}  // namespace radardb
