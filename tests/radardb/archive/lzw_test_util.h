#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "radardb/archive/lzw_format.h"

// Builders for hand-made archives and code streams in the LZW tests.
namespace lzwtest {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

inline void AppendLittle32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// An archive of `blocks` laid back to back after the header, with the given stored outputEnd
// values (the last one as stored, i.e. one less than the total).
inline std::string Archive(const std::vector<std::string>& blocks,
                           const std::vector<std::uint32_t>& storedEnds) {
  std::string out = Bytes({0x52, 0x53});
  std::uint32_t offset = radardb::kLzwHeaderSize;
  std::vector<std::uint32_t> starts;
  for (const std::string& b : blocks) {
    starts.push_back(offset);
    offset += static_cast<std::uint32_t>(b.size());
  }
  AppendLittle32(out, static_cast<std::uint32_t>(blocks.size()));
  AppendLittle32(out, offset);
  AppendLittle32(out, 0);
  for (const std::string& b : blocks) out += b;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    AppendLittle32(out, starts[i]);
    AppendLittle32(out, storedEnds[i]);
  }
  return out;
}

// Packs codes most significant bit first with the widths the reader uses: it tracks the reader's
// next free code (one entry per code after the first of a generation, none for clear/end codes
// and codes the reader discards) and the byte position, so a test can aim at reset boundaries.
class CodeStream {
 public:
  // Appends `code` in the width the reader will read it with.
  void Put(std::uint32_t code) {
    const unsigned width = radardb::LzwWidthFor(nextFree_);
    for (unsigned i = width; i-- > 0;) PutBit((code >> i) & 1);
    if (codesInGeneration_ > 0 && code != radardb::kLzwClearCode && code != radardb::kLzwEndCode &&
        Position() % radardb::kLzwResetInterval != 0) {
      ++nextFree_;
    }
    ++codesInGeneration_;
    if (code == radardb::kLzwClearCode ||
        (codesInGeneration_ > 1 && Position() % radardb::kLzwResetInterval == 0)) {
      StartGeneration();
    }
  }
  // The reader's input position if the next code were put now.
  std::size_t PositionAfterNext() const {
    return (bits_ + radardb::LzwWidthFor(nextFree_) + 7) / 8;
  }
  std::size_t Position() const { return (bits_ + 7) / 8; }
  std::uint32_t NextFree() const { return nextFree_; }
  std::string Take() const { return bytes_; }

 private:
  void PutBit(unsigned bit) {
    if (bits_ % 8 == 0) bytes_.push_back('\0');
    if (bit) bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (bits_ % 8)));
    ++bits_;
  }
  void StartGeneration() {
    bits_ = (bits_ + 7) / 8 * 8;
    nextFree_ = radardb::kLzwFirstFreeCode;
    codesInGeneration_ = 0;
  }

  std::string bytes_;
  std::size_t bits_ = 0;
  std::uint32_t nextFree_ = radardb::kLzwFirstFreeCode;
  std::size_t codesInGeneration_ = 0;
};

}  // namespace lzwtest
