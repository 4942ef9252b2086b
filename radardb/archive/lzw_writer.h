#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace radardb {

// Input bytes per block when the caller names no block size.
inline constexpr std::size_t kDefaultLzwBlockSize = 64 * 1024;

// Compresses `data` into a complete archive (header, blocks of at most `blockSize` input bytes,
// block table) that DecompressLzw expands back to exactly `data`. A `blockSize` of 0 counts as 1.
// Returns "" when the data or the archive would not fit the format's 32-bit sizes (4 GiB).
std::string CompressLzw(std::string_view data, std::size_t blockSize = kDefaultLzwBlockSize);

}  // namespace radardb
