#include "radardb/archive/lzw_writer.h"

#include <cstdint>
#include <vector>

#include "radardb/archive/lzw_format.h"

namespace radardb {

namespace {

// Appends codes most significant bit first; positions count bytes from the block's start.
class CodeWriter {
 public:
  explicit CodeWriter(std::string& out) : out_(out) {}

  void Put(std::uint32_t code, unsigned width) {
    accumulator_ = (accumulator_ << width) | code;
    bits_ += width;
    bitPosition_ += width;
    while (bits_ >= 8) {
      bits_ -= 8;
      out_.push_back(static_cast<char>((accumulator_ >> bits_) & 0xFF));
    }
    accumulator_ &= (std::uint32_t{1} << bits_) - 1;
  }

  // The reader's input position once a code of `width` bits more has been read.
  std::uint64_t PositionAfter(unsigned width) const { return (bitPosition_ + width + 7) / 8; }

  // Pads the byte begun with zero bits, as the reader drops them at a reset and at the end.
  void AlignToByte() {
    if (bits_ > 0) Put(0, 8 - bits_);
  }

 private:
  std::string& out_;
  std::uint32_t accumulator_ = 0;
  unsigned bits_ = 0;
  std::uint64_t bitPosition_ = 0;
};

// Greedy LZW over one block's bytes, emitting exactly what the reader expects: it adds entry
// 258 + k - 1 on reading the k-th code after a reset (k from 0), one step after this side adds it.
class BlockEncoder {
 public:
  BlockEncoder() : children_(std::size_t{kLzwDictionarySize} * 256, 0) {}

  void Encode(std::string_view data, std::string& out) {
    CodeWriter writer(out);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t at = 0;
    Reset();
    while (at < data.size()) {
      // The reader's next free code while it reads this code, and so the code's width.
      const std::uint32_t readerNextFree =
          codesSinceReset_ == 0 ? kLzwFirstFreeCode : kLzwFirstFreeCode + codesSinceReset_ - 1;
      const unsigned width = LzwWidthFor(readerNextFree);
      // The reader could not add an entry for this code: start a fresh dictionary.
      const bool full = codesSinceReset_ > 0 && readerNextFree >= kLzwDictionarySize;
      // The reader would discard a code that ends on a multiple of the reset interval and start
      // afresh; a clear code there does the same without wasting a code of data.
      const bool onBoundary =
          codesSinceReset_ > 0 && writer.PositionAfter(width) % kLzwResetInterval == 0;
      if (full || onBoundary) {
        writer.Put(kLzwClearCode, width);
        writer.AlignToByte();
        Reset();
        continue;
      }
      std::uint32_t code = bytes[at];
      std::size_t length = 1;
      while (at + length < data.size()) {
        const std::uint32_t child = children_[code * 256 + bytes[at + length]];
        if (child == 0) break;
        code = child;
        ++length;
      }
      writer.Put(code, width);
      ++codesSinceReset_;
      at += length;
      if (at < data.size() && nextCode_ < kLzwDictionarySize) {
        const std::size_t slot = code * 256 + bytes[at];
        children_[slot] = static_cast<std::uint16_t>(nextCode_++);
        used_.push_back(slot);
      }
    }
    const std::uint32_t readerNextFree =
        codesSinceReset_ == 0 ? kLzwFirstFreeCode : kLzwFirstFreeCode + codesSinceReset_ - 1;
    writer.Put(kLzwEndCode, LzwWidthFor(readerNextFree));
    writer.AlignToByte();
  }

 private:
  void Reset() {
    for (std::size_t slot : used_) children_[slot] = 0;
    used_.clear();
    nextCode_ = kLzwFirstFreeCode;
    codesSinceReset_ = 0;
  }

  // children_[code * 256 + byte]: the code of that string extended by byte, 0 for none.
  std::vector<std::uint16_t> children_;
  std::vector<std::size_t> used_;
  std::uint32_t nextCode_ = kLzwFirstFreeCode;
  std::uint32_t codesSinceReset_ = 0;
};

void PutLittle16(std::string& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutLittle32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendLittle32(std::string& out, std::uint32_t value) {
  out.append(4, '\0');
  PutLittle32(out, out.size() - 4, value);
}

}  // namespace

std::string CompressLzw(std::string_view data, std::size_t blockSize) {
  if (data.size() > UINT32_MAX) return {};
  if (blockSize == 0) blockSize = 1;
  std::string archive(kLzwHeaderSize, '\0');
  BlockEncoder encoder;
  std::vector<std::uint32_t> starts;
  std::vector<std::uint32_t> totals;
  std::size_t done = 0;
  do {
    const std::size_t size = data.size() - done < blockSize ? data.size() - done : blockSize;
    starts.push_back(static_cast<std::uint32_t>(archive.size()));
    encoder.Encode(data.substr(done, size), archive);
    done += size;
    totals.push_back(static_cast<std::uint32_t>(done));
    if (archive.size() > UINT32_MAX) return {};
  } while (done < data.size());
  // The last entry stores one less than the total; an empty database stores 0xFFFFFFFF.
  totals.back() -= 1;

  PutLittle16(archive, kLzwMagicOffset, kLzwMagic);
  PutLittle32(archive, kLzwBlockCountOffset, static_cast<std::uint32_t>(starts.size()));
  PutLittle32(archive, kLzwTableOffsetOffset, static_cast<std::uint32_t>(archive.size()));
  for (std::size_t i = 0; i < starts.size(); ++i) {
    AppendLittle32(archive, starts[i]);
    AppendLittle32(archive, totals[i]);
  }
  if (archive.size() > UINT32_MAX) return {};
  return archive;
}

}  // namespace radardb
