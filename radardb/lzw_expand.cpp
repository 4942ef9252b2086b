#include "radardb/lzw_expand.h"

#include <algorithm>
#include <new>
#include <vector>

#include "radardb/lzw_archive.h"
#include "radardb/lzw_block_table.h"
#include "radardb/lzw_decoder.h"
#include "radardb/lzw_dictionary.h"
#include "radardb/lzw_format.h"
#include "radardb/lzw_parallel_expand.h"
#include "radardb/work_crew.h"

namespace {

// Progress is told after about this many bytes, and after the last.
constexpr std::uint64_t kProgressStep = std::uint64_t{1} << 20;

bool ReadEntry(LzwArchiveSource& archive, const LzwArchiveLayout& layout, std::uint32_t index,
               std::uint32_t& dataOffset, std::uint32_t& storedTotal) {
  unsigned char bytes[kLzwTableEntrySize];
  if (!archive.ReadAt(layout.tableOffset + std::uint64_t{index} * kLzwTableEntrySize,
                      kLzwTableEntrySize, bytes)) {
    return false;
  }
  dataOffset = LzwReadLittle32(bytes);
  storedTotal = LzwReadLittle32(bytes + 4);
  return true;
}

// Passes bytes on to the real sink, telling `progress` after each megabyte or so and after the
// last byte; refuses them once `progress` says stop.
class ProgressSink : public LzwOutputSink {
 public:
  ProgressSink(LzwOutputSink& sink, const LzwProgress& progress, std::uint64_t total)
      : sink_(sink), progress_(progress), total_(total) {}

  bool Write(const unsigned char* data, std::size_t size) override {
    if (!sink_.Write(data, size)) return false;
    done_ += size;
    if (progress_ && (done_ >= told_ + kProgressStep || done_ == total_)) {
      told_ = done_;
      if (!progress_(done_, total_)) cancelled_ = true;
    }
    return !cancelled_;
  }
  bool Cancelled() const { return cancelled_; }

 private:
  LzwOutputSink& sink_;
  const LzwProgress& progress_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  std::uint64_t told_ = 0;
  bool cancelled_ = false;
};

// Decodes the blocks one after the other on this thread, with one dictionary.
const char* ExpandBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                         LzwOutput& output) {
  LzwDictionary dictionary;
  LzwBlockTable table(archive, layout);
  std::vector<unsigned char> block;
  for (std::uint32_t i = 0; i < layout.blockCount; ++i) {
    LzwBlockSpan span;
    if (const char* error = table.Describe(i, span)) return error;
    if (const char* error = table.Read(span, block)) return error;
    output.SetLimit(span.expectedTotal);
    const LzwBlockResult result = LzwDecodeBlock(dictionary, block.data(), span.length, output);
    if (output.Failed()) return kLzwTempFileError;
    if (output.LimitExceeded() || result.total != span.expectedTotal) return kLzwDecompressError;
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
  layout.blockCount = LzwReadLittle32(header + kLzwBlockCountOffset);
  layout.tableOffset = LzwReadLittle32(header + kLzwTableOffsetOffset);
  layout.reserved = LzwReadLittle32(header + kLzwReservedOffset);
  // With no block there is no last entry to hold the total.
  if (layout.blockCount == 0) return Status::Error(kLzwWrongFileFormat);

  const std::uint64_t tableSize = std::uint64_t{layout.blockCount} * kLzwTableEntrySize;
  if (layout.tableOffset > layout.fileSize || tableSize > layout.fileSize - layout.tableOffset) {
    return Status::Error(kLzwFileReadError);
  }
  std::uint32_t firstTotal = 0;
  std::uint32_t lastOffset = 0;
  std::uint32_t lastTotal = 0;
  if (!ReadEntry(archive, layout, 0, layout.firstBlockStart, firstTotal) ||
      !ReadEntry(archive, layout, layout.blockCount - 1, lastOffset, lastTotal)) {
    return Status::Error(kLzwFileReadError);
  }
  // Unsigned 32-bit: a stored 0xFFFFFFFF is a total of 0, an empty database.
  layout.expandedSize = lastTotal + 1;
  return Status();
}

Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out, const LzwProgress& progress, unsigned threads) {
  if (threads == 0) threads = WorkThreads();
  threads = std::min(threads, layout.blockCount);  // no more threads than blocks
  out.Expect(layout.expandedSize);
  ProgressSink sink(out, progress, layout.expandedSize);
  const char* error = nullptr;
  try {
    if (threads > 1) {
      error = ExpandLzwBlocksInParallel(archive, layout, sink, threads);
    } else {
      LzwOutput output(sink);
      error = ExpandBlocks(archive, layout, output);
      if (!output.Flush() && error == nullptr) error = kLzwTempFileError;
    }
  } catch (const std::bad_alloc&) {
    error = kLzwOutOfMemory;
  }
  if (sink.Cancelled()) return Status::Cancelled();
  return error == nullptr ? Status() : Status::Error(error);
}

Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out, unsigned threads) {
  LzwMemorySource source(archive);
  LzwArchiveLayout layout;
  Status status = ReadLzwLayout(source, layout);
  if (status.ok()) status = ExpandLzwBlocks(source, layout, out, {}, threads);
  return status;
}
