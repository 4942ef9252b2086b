#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "radardb/archive/lzw_errors.h"
#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_io.h"

namespace radardb {

// An unsigned 32-bit number stored little-endian at `p`.
inline std::uint32_t LzwReadLittle32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

// One block as the block table describes it.
struct LzwBlockSpan {
  std::uint32_t index = 0;
  std::uint32_t dataOffset = 0;
  std::size_t length = 0;  // compressed bytes
  // The running output total before the block: what the previous entry promises, 0 for the
  // first block. It is the true total whenever every block before this one has checked out.
  std::uint64_t outputStart = 0;
  // The running output total the table promises after the block.
  std::uint32_t expectedTotal = 0;

  // The bytes the block is to add (0 when the table's totals run backwards).
  std::uint64_t ExpectedOutput() const {
    return expectedTotal > outputStart ? expectedTotal - outputStart : 0;
  }
};

// Describes the blocks of an archive and reads their bytes, reading the block table a slice at a
// time. `archive` and `layout` must outlive it.
class LzwBlockTable {
 public:
  LzwBlockTable(LzwArchiveSource& archive, const LzwArchiveLayout& layout);

  // Describes block `index` (below the block count; cheapest when each call names the block
  // after the last). Fails with what its entries are found to be:
  // kLzwFileReadError (the table unreadable, an empty block, one past the file's end) or
  // "Out of memory" (offsets running backwards, which would give a length near 4 GiB).
  Status Describe(std::uint32_t index, LzwBlockSpan& span);

  // Reads the bytes of `span` into `bytes`, followed by kLzwBlockPadding zero bytes. Fails
  // with kLzwFileReadError. Throws std::bad_alloc when memory runs out.
  Status Read(const LzwBlockSpan& span, std::vector<unsigned char>& bytes);

 private:
  struct Entry {
    std::uint32_t dataOffset = 0;
    std::uint32_t storedTotal = 0;
  };
  bool Get(std::uint32_t index, Entry& entry);

  LzwArchiveSource& archive_;
  const LzwArchiveLayout& layout_;
  std::vector<unsigned char> slice_;
  std::uint64_t sliceStart_ = 0;
  std::size_t sliceCount_ = 0;
};

}  // namespace radardb
