#include "radardb/archive/lzw_expand.h"

#include <algorithm>
#include <new>
#include <vector>

#include "platform/work_crew.h"
#include "radardb/archive/lzw_block_table.h"
#include "radardb/archive/lzw_decoder.h"
#include "radardb/archive/lzw_dictionary.h"
#include "radardb/archive/lzw_errors.h"
#include "radardb/archive/lzw_format.h"
#include "radardb/archive/lzw_parallel_expand.h"

namespace radardb {

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
Status ExpandBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout, LzwOutput& output) {
  LzwDictionary dictionary;
  LzwBlockTable table(archive, layout);
  std::vector<unsigned char> block;
  for (std::uint32_t i = 0; i < layout.blockCount; ++i) {
    LzwBlockSpan span;
    if (Status status = table.Describe(i, span); !status.ok()) return status;
    if (Status status = table.Read(span, block); !status.ok()) return status;
    output.SetLimit(span.expectedTotal);
    const LzwBlockResult result = LzwDecodeBlock(dictionary, block.data(), span.length, output);
    if (output.Failed()) return LzwOutputRefused();
    if (output.LimitExceeded() || result.total != span.expectedTotal) return LzwDecompressError();
  }
  return Status();
}

}  // namespace

Status ReadLzwLayout(LzwArchiveSource& archive, LzwArchiveLayout& layout) {
  layout = LzwArchiveLayout();
  layout.fileSize = archive.Size();
  unsigned char header[kLzwHeaderSize];
  if (!archive.ReadAt(0, kLzwHeaderSize, header)) return LzwFileReadError();
  const unsigned magic = header[kLzwMagicOffset] | (unsigned{header[kLzwMagicOffset + 1]} << 8);
  if (magic != kLzwMagic) return LzwWrongFileFormat();
  layout.blockCount = LzwReadLittle32(header + kLzwBlockCountOffset);
  layout.tableOffset = LzwReadLittle32(header + kLzwTableOffsetOffset);
  layout.reserved = LzwReadLittle32(header + kLzwReservedOffset);
  // With no block there is no last entry to hold the total.
  if (layout.blockCount == 0) return LzwWrongFileFormat();

  const std::uint64_t tableSize = std::uint64_t{layout.blockCount} * kLzwTableEntrySize;
  if (layout.tableOffset > layout.fileSize || tableSize > layout.fileSize - layout.tableOffset) {
    return LzwFileReadError();
  }
  std::uint32_t firstTotal = 0;
  std::uint32_t lastOffset = 0;
  std::uint32_t lastTotal = 0;
  if (!ReadEntry(archive, layout, 0, layout.firstBlockStart, firstTotal) ||
      !ReadEntry(archive, layout, layout.blockCount - 1, lastOffset, lastTotal)) {
    return LzwFileReadError();
  }
  // Unsigned 32-bit: a stored 0xFFFFFFFF is a total of 0, an empty database.
  layout.expandedSize = lastTotal + 1;
  return Status();
}

Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out, const LzwProgress& progress, unsigned threads) {
  if (threads == 0) threads = platform::WorkThreads();
  threads = std::min(threads, layout.blockCount);  // no more threads than blocks
  out.Expect(layout.expandedSize);
  ProgressSink sink(out, progress, layout.expandedSize);
  const Status status = platform::GuardMemory([&] {
    if (threads > 1) return ExpandLzwBlocksInParallel(archive, layout, sink, threads);
    LzwOutput output(sink);
    Status blocks = ExpandBlocks(archive, layout, output);
    if (!output.Flush() && blocks.ok()) return LzwOutputRefused();
    return blocks;
  });
  if (sink.Cancelled()) return Status::Cancelled();
  return status;
}

Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out, unsigned threads) {
  LzwMemorySource source(archive);
  LzwArchiveLayout layout;
  Status status = ReadLzwLayout(source, layout);
  if (status.ok()) status = ExpandLzwBlocks(source, layout, out, {}, threads);
  return status;
}

}  // namespace radardb
