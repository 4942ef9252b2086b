#include "radardb/lzw_expand.h"

#include <algorithm>
#include <new>
#include <vector>

#include "radardb/lzw_archive.h"
#include "radardb/lzw_decoder.h"
#include "radardb/lzw_dictionary.h"
#include "radardb/lzw_format.h"

namespace {

// Block table entries read from the file at a time.
constexpr std::size_t kTableSliceEntries = 8192;

std::uint32_t ReadLittle32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

// One block table entry as stored.
struct TableEntry {
  std::uint32_t dataOffset = 0;
  std::uint32_t storedTotal = 0;
};

bool ReadEntry(LzwArchiveSource& archive, const LzwArchiveLayout& layout, std::uint32_t index,
               TableEntry& entry) {
  unsigned char bytes[kLzwTableEntrySize];
  if (!archive.ReadAt(layout.tableOffset + std::uint64_t{index} * kLzwTableEntrySize,
                      kLzwTableEntrySize, bytes)) {
    return false;
  }
  entry = {ReadLittle32(bytes), ReadLittle32(bytes + 4)};
  return true;
}

// Hands out the block table's entries in order, reading the table a slice at a time.
class TableWalker {
 public:
  TableWalker(LzwArchiveSource& archive, const LzwArchiveLayout& layout)
      : archive_(archive), layout_(layout) {}

  // Entry `index`; indexes must not decrease between calls. False when it cannot be read.
  bool Get(std::uint32_t index, TableEntry& entry) {
    if (index < sliceStart_ || index >= sliceStart_ + sliceCount_) {
      sliceStart_ = index;
      sliceCount_ = std::min<std::size_t>(kTableSliceEntries, layout_.blockCount - index);
      slice_.resize(sliceCount_ * kLzwTableEntrySize);
      if (!archive_.ReadAt(layout_.tableOffset + std::uint64_t{index} * kLzwTableEntrySize,
                           slice_.size(), slice_.data())) {
        sliceCount_ = 0;
        return false;
      }
    }
    const unsigned char* at = &slice_[(index - sliceStart_) * kLzwTableEntrySize];
    entry = {ReadLittle32(at), ReadLittle32(at + 4)};
    return true;
  }

 private:
  LzwArchiveSource& archive_;
  const LzwArchiveLayout& layout_;
  std::vector<unsigned char> slice_;
  std::uint64_t sliceStart_ = 0;
  std::size_t sliceCount_ = 0;
};

// Passes bytes on to the real sink, telling `progress` of each piece (about 1 MB at a time, as
// the decoder's output buffer hands them over); refuses them once `progress` says stop.
class ProgressSink : public LzwOutputSink {
 public:
  ProgressSink(LzwOutputSink& sink, const LzwProgress& progress, std::uint64_t total)
      : sink_(sink), progress_(progress), total_(total) {}

  bool Write(const unsigned char* data, std::size_t size) override {
    if (!sink_.Write(data, size)) return false;
    done_ += size;
    if (progress_ && !progress_(done_, total_)) cancelled_ = true;
    return !cancelled_;
  }
  bool Cancelled() const { return cancelled_; }

 private:
  LzwOutputSink& sink_;
  const LzwProgress& progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  bool cancelled_ = false;
};

const char* ExpandBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                         LzwOutput& output) {
  LzwDictionary dictionary;
  TableWalker table(archive, layout);
  std::vector<unsigned char> block;
  TableEntry entry;
  if (!table.Get(0, entry)) return kLzwFileReadError;
  for (std::uint32_t i = 0; i < layout.blockCount; ++i) {
    const bool last = i + 1 == layout.blockCount;
    TableEntry next{layout.tableOffset, 0};
    if (!last && !table.Get(i + 1, next)) return kLzwFileReadError;
    const std::uint32_t start = entry.dataOffset;
    const std::uint32_t end = next.dataOffset;
    // Offsets that run backwards would give a length near 4 GB.
    if (end < start) return kLzwOutOfMemory;
    const std::size_t length = end - start;
    if (length == 0 || std::uint64_t{start} + length > layout.fileSize) return kLzwFileReadError;
    block.assign(length + kLzwBlockPadding, 0);
    if (!archive.ReadAt(start, length, block.data())) return kLzwFileReadError;
    const std::uint32_t expected = last ? layout.expandedSize : entry.storedTotal;
    output.SetLimit(expected);
    const std::uint64_t total = LzwDecodeBlock(dictionary, block.data(), length, output);
    if (output.Failed()) return kLzwTempFileError;
    if (output.LimitExceeded() || total != expected) return kLzwDecompressError;
    entry = next;
  }
  return nullptr;
}

}  // namespace

Status ReadLzwLayout(LzwArchiveSource& archive, LzwArchiveLayout& layout) {
  layout = LzwArchiveLayout();
  layout.fileSize = archive.Size();
  unsigned char header[kLzwHeaderSize];
  if (!archive.ReadAt(0, kLzwHeaderSize, header)) return Status::Error(kLzwFileReadError);
  const unsigned magic = header[kLzwMagicOffset] | (unsigned{header[kLzwMagicOffset + 1]} << 8);
  if (magic != kLzwMagic) return Status::Error(kLzwWrongFileFormat);
  layout.blockCount = ReadLittle32(header + kLzwBlockCountOffset);
  layout.tableOffset = ReadLittle32(header + kLzwTableOffsetOffset);
  layout.reserved = ReadLittle32(header + kLzwReservedOffset);
  // With no block there is no last entry to hold the total.
  if (layout.blockCount == 0) return Status::Error(kLzwWrongFileFormat);

  const std::uint64_t tableSize = std::uint64_t{layout.blockCount} * kLzwTableEntrySize;
  if (layout.tableOffset > layout.fileSize || tableSize > layout.fileSize - layout.tableOffset) {
    return Status::Error(kLzwFileReadError);
  }
  TableEntry first;
  TableEntry last;
  if (!ReadEntry(archive, layout, 0, first) ||
      !ReadEntry(archive, layout, layout.blockCount - 1, last)) {
    return Status::Error(kLzwFileReadError);
  }
  layout.firstBlockStart = first.dataOffset;
  // Unsigned 32-bit: a stored 0xFFFFFFFF is a total of 0, an empty database.
  layout.expandedSize = last.storedTotal + 1;
  return Status();
}

Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out, const LzwProgress& progress) {
  ProgressSink sink(out, progress, layout.expandedSize);
  const char* error = nullptr;
  try {
    LzwOutput output(sink);
    error = ExpandBlocks(archive, layout, output);
    if (!output.Flush() && error == nullptr) error = kLzwTempFileError;
  } catch (const std::bad_alloc&) {
    error = kLzwOutOfMemory;
  }
  if (sink.Cancelled()) return Status::Cancelled();
  return error == nullptr ? Status() : Status::Error(error);
}

Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out) {
  LzwMemorySource source(archive);
  LzwArchiveLayout layout;
  Status status = ReadLzwLayout(source, layout);
  if (status.ok()) status = ExpandLzwBlocks(source, layout, out);
  return status;
}
