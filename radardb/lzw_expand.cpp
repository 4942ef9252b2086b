#include "radardb/lzw_expand.h"

#include "radardb/lzw_archive.h"
#include "radardb/lzw_decoder.h"
#include "radardb/lzw_dictionary.h"
#include "radardb/lzw_format.h"

namespace {

std::uint32_t ReadLittle32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
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
  std::vector<unsigned char> table(static_cast<std::size_t>(tableSize));
  if (!archive.ReadAt(layout.tableOffset, table.size(), table.data())) {
    return Status::Error(kLzwFileReadError);
  }
  layout.blockStarts.resize(std::size_t{layout.blockCount} + 1);
  layout.expectedTotals.resize(layout.blockCount);
  for (std::size_t i = 0; i < layout.blockCount; ++i) {
    layout.blockStarts[i] = ReadLittle32(&table[i * kLzwTableEntrySize]);
    layout.expectedTotals[i] = ReadLittle32(&table[i * kLzwTableEntrySize + 4]);
  }
  layout.blockStarts[layout.blockCount] = layout.tableOffset;
  // Unsigned 32-bit: a stored 0xFFFFFFFF is a total of 0, an empty database.
  layout.expectedTotals.back() += 1;
  return Status();
}

Status ExpandLzwBlocks(LzwArchiveSource& archive, const LzwArchiveLayout& layout,
                       LzwOutputSink& out) {
  LzwDictionary dictionary;
  LzwOutput output(out);
  std::vector<unsigned char> block;
  const char* error = nullptr;
  for (std::size_t i = 0; i < layout.blockCount && error == nullptr; ++i) {
    const std::uint32_t start = layout.blockStarts[i];
    const std::uint32_t end = layout.blockStarts[i + 1];
    // Offsets that run backwards would give a length near 4 GB.
    if (end < start) {
      error = kLzwOutOfMemory;
      break;
    }
    const std::size_t length = end - start;
    if (length == 0 || std::uint64_t{start} + length > layout.fileSize) {
      error = kLzwFileReadError;
      break;
    }
    block.assign(length + kLzwBlockPadding, 0);
    if (!archive.ReadAt(start, length, block.data())) {
      error = kLzwFileReadError;
      break;
    }
    output.SetLimit(layout.expectedTotals[i]);
    const std::uint64_t total = LzwDecodeBlock(dictionary, block.data(), length, output);
    if (output.Failed()) {
      error = kLzwTempFileError;
    } else if (output.LimitExceeded() || total != layout.expectedTotals[i]) {
      error = kLzwDecompressError;
    }
  }
  if (!output.Flush() && error == nullptr) error = kLzwTempFileError;
  return error == nullptr ? Status() : Status::Error(error);
}

Status ExpandLzwBytes(std::string_view archive, LzwOutputSink& out) {
  LzwMemorySource source(archive);
  LzwArchiveLayout layout;
  Status status = ReadLzwLayout(source, layout);
  if (status.ok()) status = ExpandLzwBlocks(source, layout, out);
  return status;
}
