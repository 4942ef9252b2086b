#pragma once

#include <cstddef>
#include <cstdint>

namespace radardb {

// Numbers of the radar database archive format. All archive fields are little-endian.

// Header: magic (u16), block count (u32), block table offset (u32), 4 reserved bytes.
inline constexpr std::size_t kLzwHeaderSize = 14;
inline constexpr std::uint16_t kLzwMagic = 0x5352;  // the bytes "RS"
inline constexpr std::size_t kLzwMagicOffset = 0;
inline constexpr std::size_t kLzwBlockCountOffset = 2;
inline constexpr std::size_t kLzwTableOffsetOffset = 6;
inline constexpr std::size_t kLzwReservedOffset = 10;

// Block table entry: offset of the block's first byte (u32), then the running total of expanded
// bytes once the block is decoded (u32). The last entry stores one less than the total.
inline constexpr std::size_t kLzwTableEntrySize = 8;

// Codes: 0-255 stand for single bytes, 256 clears the dictionary, 257 ends a block.
inline constexpr std::uint32_t kLzwClearCode = 256;
inline constexpr std::uint32_t kLzwEndCode = 257;
inline constexpr std::uint32_t kLzwFirstFreeCode = 258;
inline constexpr std::uint32_t kLzwDictionarySize = 4096;  // codes 0..4095
inline constexpr unsigned kLzwInitialWidth = 9;

// The decoder starts afresh, discarding the code just read, whenever a code ends its input
// position (bytes of the block taken in so far) on a whole multiple of this.
inline constexpr std::size_t kLzwResetInterval = 929;

// The code width for a dictionary whose next free code is `nextFree`: the width grows by one
// whenever the next free code reaches a power of two (10 bits at 512, ..., 13 bits at 4096).
constexpr unsigned LzwWidthFor(std::uint32_t nextFree) {
  unsigned width = kLzwInitialWidth;
  while (nextFree >= (std::uint32_t{1} << width)) ++width;
  return width;
}

}  // namespace radardb
