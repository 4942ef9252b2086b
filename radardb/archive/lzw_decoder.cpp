#include "radardb/archive/lzw_decoder.h"

#include <algorithm>
#include <cstring>

namespace radardb {

namespace {

// Reads codes most significant bit first. The input position is the number of bytes the codes
// read so far have touched, counted from the block's start.
class CodeReader {
 public:
  CodeReader(const unsigned char* data, std::size_t length)
      : data_(data), length_(length), stopAt_(std::min(length, kLzwResetInterval)) {}

  // The next code of `width` bits (13 at most), or the end code when the block has too few bits
  // left.
  std::uint32_t Read(unsigned width) {
    const std::uint64_t end = bit_ + width;
    if (end > std::uint64_t{length_} * 8) {
      bit_ = std::uint64_t{length_} * 8;
      return kLzwEndCode;
    }
    // The four bytes from the code's first, the block's padding covering those past its end.
    const unsigned char* p = data_ + bit_ / 8;
    const std::uint32_t window = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
                                 (std::uint32_t{p[2]} << 8) | p[3];
    const unsigned skip = static_cast<unsigned>(bit_ % 8);
    bit_ = end;
    return (window << skip) >> (32 - width);
  }

  // What the input position after the last code read calls for: the block's end, a reset (the
  // position is a whole multiple of the reset interval) or neither. Both are rare, so one
  // comparison with the nearer of the two decides most codes.
  enum class Mark { kNone, kEnd, kReset };
  Mark MarkReached() {
    const std::size_t position = Position();
    if (position < stopAt_) return Mark::kNone;
    if (position == length_) return Mark::kEnd;
    if (position % kLzwResetInterval == 0) return Mark::kReset;
    stopAt_ = std::min(length_, (position / kLzwResetInterval + 1) * kLzwResetInterval);
    return Mark::kNone;
  }

  // The rest of the byte last taken in is dropped: the next code starts on a byte boundary.
  void AlignToByte() { bit_ = (bit_ + 7) / 8 * 8; }

 private:
  std::size_t Position() const { return static_cast<std::size_t>((bit_ + 7) / 8); }

  const unsigned char* data_;
  std::size_t length_;
  std::uint64_t bit_ = 0;
  // No position below this is the block's end or a reset point.
  std::size_t stopAt_;
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

// Decodes one block. The dictionary's counters and the output's buffer are held here, in
// registers, while the block is decoded, and handed back when it ends.
class BlockDecoder {
 public:
  BlockDecoder(LzwDictionary& dictionary, const unsigned char* data, std::size_t length,
               LzwOutput& out)
      : dictionary_(dictionary),
        out_(out),
        in_(data, length),
        dict_(dictionary.Take()),
        window_(out.Open()) {}

  LzwBlockResult Decode() {
    DecodeGenerations();
    dictionary_.Restore(dict_);
    out_.Close(window_);
    return {out_.Total(), watch_.NamedOldEntry()};
  }

 private:
  void DecodeGenerations() {
    for (;;) {
      // A fresh dictionary: the first code is written as it stands.
      StartGeneration();
      std::uint32_t previous = in_.Read(dict_.width);
      if (previous == kLzwEndCode) return;
      watch_.Named(previous, dict_.nextFree);
      if (!Write(dict_.slots[previous], false, 0)) return;
      for (;;) {
        const std::uint32_t code = in_.Read(dict_.width);
        if (code == kLzwEndCode) return;
        const CodeReader::Mark mark = in_.MarkReached();
        if (mark == CodeReader::Mark::kEnd) return;
        if (code == kLzwClearCode || mark == CodeReader::Mark::kReset) break;
        if (!DecodeCode(previous, code)) return;
        previous = code;
      }
      in_.AlignToByte();
    }
  }

  // Writes the string of `code`, which follows `previous`, and adds the entry the two make.
  // Returns false when the block ends here.
  [[gnu::always_inline]] bool DecodeCode(std::uint32_t previous, std::uint32_t code) {
    // Only a code at or past the next free code, kept as the previous one, names an entry this
    // generation has not filled.
    if (previous >= dict_.nextFree) [[unlikely]] {
      watch_.Named(previous, dict_.nextFree);
    }
    const std::uint32_t prefix =
        previous < kLzwDictionarySize ? dict_.slots[previous] : kLzwNoParent;
    if (code < dict_.nextFree) {
      // A known string: write it, then remember the previous one extended by its first byte.
      const std::uint32_t lastBefore = lastNode_;
      const std::uint32_t positionBefore = lastPosition_;
      const std::uint32_t id = dict_.slots[code];
      const std::uint8_t first = dict_.nodes[id].first;
      if (!Write(id, false, 0)) return false;
      const bool adjacent = prefix == lastBefore && prefix != kLzwEmptyNode;
      return LzwDictionary::Add(dict_, previous, first,
                                adjacent ? positionBefore : kLzwNoPosition) != kLzwNoParent;
    }
    // A string not known yet: the previous one extended by its own first byte.
    if (prefix == kLzwNoParent || prefix == kLzwEmptyNode) return false;
    const std::uint8_t first = dict_.nodes[prefix].first;
    const std::uint32_t id = LzwDictionary::Add(dict_, previous, first, kLzwNoPosition);
    if (id == kLzwNoParent) return false;
    if (!Write(prefix, true, first)) return false;
    // The bytes just written are the new entry's string.
    dict_.nodes[id].position = lastPosition_;
    lastNode_ = id;
    return true;
  }

  void StartGeneration() {
    dictionary_.Restore(dict_);
    watch_.GenerationEnds(dictionary_.NextFree());
    dictionary_.Reset();
    dict_ = dictionary_.Take();
    lastNode_ = kLzwNoParent;
  }

  // Appends the string of node `id`, followed by `extra` when `withExtra`. Returns false when the
  // output refused the write.
  [[gnu::always_inline]] bool Write(std::uint32_t id, bool withExtra, std::uint8_t extra) {
    LzwNode& node = dict_.nodes[id];
    const std::uint32_t length = node.length;
    const std::size_t size = std::size_t{length} + (withExtra ? 1 : 0);
    if (size == 0) return true;
    if (window_.used + size > window_.room) [[unlikely]] {
      if (!MakeRoom(size)) return false;
    }
    unsigned char* to = window_.data + window_.used;
    const std::uint64_t at = window_.base + window_.used;
    const std::uint32_t position =
        at < kLzwNoPosition ? static_cast<std::uint32_t>(at) : kLzwNoPosition;
    const std::uint32_t known = node.position;
    // An older copy is kept when there is one: bytes stored just now are slower to load again.
    if (known != kLzwNoPosition && known >= window_.base &&
        known - window_.base + length <= window_.used) {
      CopyForward(to, window_.data + (known - window_.base), length);
    } else {
      node.position = position;
      // Walk the string from its last byte back to its first.
      unsigned char* p = to + length;
      std::uint32_t walk = id;
      for (std::uint32_t left = length; left > 0; --left) {
        const LzwNode& n = dict_.nodes[walk];
        *--p = n.last;
        walk = n.parent;
      }
    }
    if (withExtra) to[length] = extra;
    window_.used += size;
    lastNode_ = id;
    lastPosition_ = position;
    return true;
  }

  // Gives the output room for `size` more bytes. Returns false when it refuses.
  [[gnu::noinline]] bool MakeRoom(std::size_t size) {
    out_.Close(window_);
    const bool room = out_.Reserve(size);
    window_ = out_.Open();
    return room;
  }

  LzwDictionary& dictionary_;
  LzwOutput& out_;
  CodeReader in_;
  LzwDictionary::Cursor dict_;
  LzwOutput::Window window_;
  OldEntryWatch watch_;
  // The node written last and its output offset: a string that extends it is found right there.
  std::uint32_t lastNode_ = kLzwNoParent;
  std::uint32_t lastPosition_ = kLzwNoPosition;
};

}  // namespace

LzwBlockResult LzwDecodeBlock(LzwDictionary& dictionary, const unsigned char* data,
                              std::size_t length, LzwOutput& out) {
  return BlockDecoder(dictionary, data, length, out).Decode();
}

}  // namespace radardb
