#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "radardb/archive/lzw_errors.h"
#include "radardb/archive/lzw_io.h"
#include "radardb/archive/lzw_output.h"

namespace radardb {

// The header of an archive and the two block table entries that describe it as a whole, as read
// and checked by ReadLzwLayout. The table itself stays in the file: a hostile block count costs
// no memory.
struct LzwArchiveLayout {
  std::uint64_t fileSize = 0;
  std::uint32_t blockCount = 0;
  std::uint32_t tableOffset = 0;
  std::uint32_t reserved = 0;         // the 4 reserved header bytes, little-endian; not used
  std::uint32_t firstBlockStart = 0;  // dataOffset of the first block
  // The total expected after the last block: the last entry's stored value plus 1, in 32 bits
  // (a stored 0xFFFFFFFF is an empty database).
  std::uint32_t expandedSize = 0;
};

// Told now and then during an expansion how many bytes have come out so far of the total the
// archive promises. Returns false to stop the expansion.
using LzwProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads and checks the header and the first and last block table entries. Fails with
// kLzwFileReadError (header short, table past the file's end) or kLzwWrongFileFormat (wrong
// magic, no blocks). Allocates nothing.
Status ReadLzwLayout(LzwArchiveSource& archive, LzwArchiveLayout& layout);

// Expands every block of `layout` from `archive` into `out`, checking each block's total.
// Fails with "Out of memory" (block offsets running backwards, or memory exhausted),
// kLzwFileReadError (an empty block, one past the file's end, or an unreadable table),
// kLzwDecompressError (a total that differs from the table's), kLzwTempFileError (`out` failed),
// or Status::Cancelled() when `progress` returned false; the first block in table order that
// fails decides. What was decoded before a failure has been handed to `out`, in order, from the
// calling thread, as has everything on success. `threads` threads decode blocks side by side (0:
// WorkThreads(); 1: all on the calling thread, one block after the other); the bytes and the
// outcome are the same for every count. Memory: a slice of the table, one block's bytes and the
// dictionary, and with more threads a dictionary and a few blocks per thread.
Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out, const LzwProgress& progress = {}, unsigned threads = 0);

// Reads and expands a whole archive held in memory into `out`: ReadLzwLayout, then
// ExpandLzwBlocks with `threads`.
Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out, unsigned threads = 0);

}  // namespace radardb
