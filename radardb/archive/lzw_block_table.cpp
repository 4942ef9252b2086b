#include "radardb/archive/lzw_block_table.h"

#include <algorithm>

#include "radardb/archive/lzw_decoder.h"
#include "radardb/archive/lzw_format.h"

namespace radardb {

namespace {

// Block table entries read from the file at a time.
constexpr std::size_t kTableSliceEntries = 8192;

}  // namespace

LzwBlockTable::LzwBlockTable(LzwArchiveSource& archive, const LzwArchiveLayout& layout)
    : archive_(archive), layout_(layout) {}

Status LzwBlockTable::Describe(std::uint32_t index, LzwBlockSpan& span) {
  Entry previous;
  if (index > 0 && !Get(index - 1, previous)) return LzwFileReadError();
  Entry entry;
  if (!Get(index, entry)) return LzwFileReadError();
  const bool last = index + 1 == layout_.blockCount;
  Entry next{layout_.tableOffset, 0};
  if (!last && !Get(index + 1, next)) return LzwFileReadError();
  // Offsets that run backwards would give a length near 4 GiB.
  if (next.dataOffset < entry.dataOffset) return Status::OutOfMemory();
  const std::size_t length = next.dataOffset - entry.dataOffset;
  if (length == 0 || std::uint64_t{entry.dataOffset} + length > layout_.fileSize) {
    return LzwFileReadError();
  }
  span.index = index;
  span.dataOffset = entry.dataOffset;
  span.length = length;
  span.outputStart = index > 0 ? previous.storedTotal : 0;
  span.expectedTotal = last ? layout_.expandedSize : entry.storedTotal;
  return Status();
}

Status LzwBlockTable::Read(const LzwBlockSpan& span, std::vector<unsigned char>& bytes) {
  bytes.resize(span.length + kLzwBlockPadding);
  std::fill(bytes.end() - kLzwBlockPadding, bytes.end(), 0);
  return archive_.ReadAt(span.dataOffset, span.length, bytes.data()) ? Status()
                                                                     : LzwFileReadError();
}

bool LzwBlockTable::Get(std::uint32_t index, Entry& entry) {
  if (index < sliceStart_ || index >= sliceStart_ + sliceCount_) {
    // One entry before `index` comes along: Describe looks one entry back.
    const std::uint32_t start = index > 0 ? index - 1 : 0;
    sliceStart_ = start;
    sliceCount_ = std::min<std::size_t>(kTableSliceEntries, layout_.blockCount - start);
    slice_.resize(sliceCount_ * kLzwTableEntrySize);
    if (!archive_.ReadAt(layout_.tableOffset + std::uint64_t{start} * kLzwTableEntrySize,
                         slice_.size(), slice_.data())) {
      sliceCount_ = 0;
      return false;
    }
  }
  const unsigned char* at = &slice_[(index - sliceStart_) * kLzwTableEntrySize];
  entry = {LzwReadLittle32(at), LzwReadLittle32(at + 4)};
  return true;
}

}  // namespace radardb
