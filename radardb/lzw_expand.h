#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"
#include "radardb/lzw_io.h"
#include "radardb/lzw_output.h"

// The header and block table of an archive, as read and checked by ReadLzwLayout.
struct LzwArchiveLayout {
  std::uint64_t fileSize = 0;
  std::uint32_t blockCount = 0;
  std::uint32_t tableOffset = 0;
  std::uint32_t reserved = 0;  // the 4 reserved header bytes, little-endian; not used
  // dataOffset of each block, then tableOffset (where the last block ends): blockCount + 1 values.
  std::vector<std::uint32_t> blockStarts;
  // Running total of expanded bytes expected after each block (the last one already plus 1).
  std::vector<std::uint32_t> expectedTotals;
};

// Reads the header and block table. Fails with kLzwFileReadError (header short, table past the
// file's end) or kLzwWrongFileFormat (wrong magic, no blocks). Allocates only after checking the
// table against the file's size.
Status ReadLzwLayout(LzwArchiveSource& archive, LzwArchiveLayout& layout);

// Expands every block of `layout` from `archive` into `out`, checking each block's total.
// Fails with kLzwOutOfMemory (block offsets running backwards),
// kLzwFileReadError (an empty block, or one past the file's end), kLzwDecompressError (a total
// that differs from the table's), kLzwTempFileError (`out` failed). What was decoded before a
// failure has been handed to `out`. Memory: one block plus the dictionary.
Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out);

// Reads and expands a whole archive held in memory into `out`: ReadLzwLayout, then
// ExpandLzwBlocks.
Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out);
