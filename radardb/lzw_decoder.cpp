#include "radardb/lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads codes most significant bit first. The input position is the number of bytes the codes
// read so far have touched, counted from the block's start.
class CodeReader {
 public:
  CodeReader(const unsigned char* data, std::size_t length) : data_(data), length_(length) {}

  // The next code of `width` bits, or the end code when the block has too few bits left.
  std::uint32_t Read(unsigned width) {
    const std::uint64_t end = bit_ + width;
    if ((end + 7) / 8 > length_) {
      bit_ = std::uint64_t{length_} * 8;
      return kLzwEndCode;
    }
    const unsigned char* p = data_ + bit_ / 8;
    const std::uint32_t window = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    const unsigned shift = 24 - static_cast<unsigned>(bit_ % 8) - width;
    bit_ = end;
    return (window >> shift) & ((std::uint32_t{1} << width) - 1);
  }

  std::size_t Position() const { return static_cast<std::size_t>((bit_ + 7) / 8); }
  std::size_t Length() const { return length_; }

  // The rest of the byte last taken in is dropped: the next code starts on a byte boundary.
  void AlignToByte() { bit_ = (bit_ + 7) / 8 * 8; }

 private:
  const unsigned char* data_;
  std::size_t length_;
  std::uint64_t bit_ = 0;
};

// Copies `size` bytes from `from` to `to`, which lies at least `size` bytes after `from`, in
// 16-byte steps that may read and write up to 15 bytes more (the output's slack).
inline void CopyForward(unsigned char* to, const unsigned char* from, std::size_t size) {
  constexpr std::size_t kStep = 16;
  for (std::size_t done = 0; done < size; done += kStep) {
    unsigned char chunk[kStep];
    std::memcpy(chunk, from + done, kStep);
    std::memcpy(to + done, chunk, kStep);
  }
}

class BlockDecoder {
 public:
  BlockDecoder(LzwDictionary& dictionary, LzwOutput& out) : dict_(dictionary), out_(out) {}

  // Appends the string of node `id`, followed by `extra` when `withExtra`. Returns false when the
  // output refused the write.
  [[gnu::always_inline]] bool Write(std::uint32_t id, bool withExtra, std::uint8_t extra) {
    LzwNode& node = dict_.Node(id);
    const std::size_t size = std::size_t{node.length} + (withExtra ? 1 : 0);
    if (size == 0) return true;
    unsigned char* to = out_.Reserve(size);
    if (to == nullptr) return false;
    const std::uint64_t at = out_.Total();
    const unsigned char* from = node.position == kLzwNoPosition ? nullptr : out_.At(node.position);
    const std::uint32_t position =
        at < kLzwNoPosition ? static_cast<std::uint32_t>(at) : kLzwNoPosition;
    // An older copy is kept when there is one: bytes stored just now are slower to load again.
    if (from != nullptr && from + node.length <= to) {
      CopyForward(to, from, node.length);
    } else {
      node.position = position;
      // Walk the string from its last byte back to its first.
      unsigned char* p = to + node.length;
      std::uint32_t walk = id;
      for (std::uint32_t left = node.length; left > 0; --left) {
        const LzwNode& n = dict_.Node(walk);
        *--p = n.last;
        walk = n.parent;
      }
    }
    if (withExtra) to[node.length] = extra;
    out_.Commit(size);
    lastNode_ = id;
    lastPosition_ = position;
    return true;
  }

  // Records that the bytes written last form the string of node `id`.
  void LastWriteIs(std::uint32_t id) {
    dict_.Node(id).position = lastPosition_;
    lastNode_ = id;
  }
  void ForgetLastWrite() { lastNode_ = kLzwNoParent; }
  std::uint32_t LastNode() const { return lastNode_; }
  std::uint32_t LastPosition() const { return lastPosition_; }

 private:
  LzwDictionary& dict_;
  LzwOutput& out_;
  // The node written last and its output offset: a string that extends it is found right there.
  std::uint32_t lastNode_ = kLzwNoParent;
  std::uint32_t lastPosition_ = kLzwNoPosition;
};

// Tells whether a block names dictionary entries it has not filled itself. Every generation
// fills entries from 258 upward, so those the block has filled lie below the highest next free
// code any of its generations reached.
class OldEntryWatch {
 public:
  // Before each reset: the generation ending has filled the entries below `nextFree`.
  void GenerationEnds(std::uint32_t nextFree) { filled_ = std::max(filled_, nextFree); }
  // `code` is about to be looked up while the dictionary's next free code is `nextFree`.
  void Named(std::uint32_t code, std::uint32_t nextFree) {
    if (code >= nextFree && code >= filled_ && code < kLzwDictionarySize) named_ = true;
  }
  bool NamedOldEntry() const { return named_; }

 private:
  std::uint32_t filled_ = kLzwFirstFreeCode;
  bool named_ = false;
};

}  // namespace

LzwBlockResult LzwDecodeBlock(LzwDictionary& dictionary, const unsigned char* data,
                              std::size_t length, LzwOutput& out) {
  CodeReader in(data, length);
  BlockDecoder writer(dictionary, out);
  OldEntryWatch watch;
  const auto finished = [&] { return LzwBlockResult{out.Total(), watch.NamedOldEntry()}; };
  for (;;) {
    // A fresh dictionary: the first code is written as it stands.
    watch.GenerationEnds(dictionary.NextFree());
    dictionary.Reset();
    writer.ForgetLastWrite();
    std::uint32_t previous = in.Read(dictionary.Width());
    if (previous == kLzwEndCode) return finished();
    watch.Named(previous, dictionary.NextFree());
    if (!writer.Write(dictionary.NodeOf(previous), false, 0)) return finished();
    for (;;) {
      const std::uint32_t code = in.Read(dictionary.Width());
      if (code == kLzwEndCode || in.Position() == in.Length()) return finished();
      if (code == kLzwClearCode || in.Position() % kLzwResetInterval == 0) break;
      // Only a code at or past the next free code, kept as the previous one, names an entry
      // this generation has not filled.
      if (previous >= dictionary.NextFree()) [[unlikely]] {
        watch.Named(previous, dictionary.NextFree());
      }
      const std::uint32_t prefix =
          previous < kLzwDictionarySize ? dictionary.NodeOf(previous) : kLzwNoParent;
      if (code < dictionary.NextFree()) {
        // A known string: write it, then remember the previous one extended by its first byte.
        const std::uint32_t lastBefore = writer.LastNode();
        const std::uint32_t positionBefore = writer.LastPosition();
        const std::uint32_t id = dictionary.NodeOf(code);
        if (!writer.Write(id, false, 0)) return finished();
        const bool adjacent = prefix == lastBefore && prefix != kLzwEmptyNode;
        if (dictionary.Add(previous, dictionary.Node(id).first,
                           adjacent ? positionBefore : kLzwNoPosition) == kLzwNoParent) {
          return finished();
        }
      } else {
        // A string not known yet: the previous one extended by its own first byte.
        if (prefix == kLzwNoParent || prefix == kLzwEmptyNode) return finished();
        const std::uint8_t first = dictionary.Node(prefix).first;
        const std::uint32_t id = dictionary.Add(previous, first, kLzwNoPosition);
        if (id == kLzwNoParent) return finished();
        if (!writer.Write(prefix, true, first)) return finished();
        writer.LastWriteIs(id);
      }
      previous = code;
    }
    in.AlignToByte();
  }
}
