#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "radardb/archive/lzw_format.h"

// A plain, slow decoder for the LZW tests: whole strings per entry, straight from the format's
// description (including that entries keep their strings across resets and blocks, and the
// decisions for entries past 4095 and empty prefixes). The fast decoder must agree with it.
namespace lzwtest {

class ReferenceDecoder {
 public:
  ReferenceDecoder() : dict_(radardb::kLzwDictionarySize) {
    for (int b = 0; b < 256; ++b) dict_[b] = std::string(1, static_cast<char>(b));
  }

  // Decodes one block, appending to `out`.
  void DecodeBlock(const std::string& block, std::string& out) {
    block_ = &block;
    position_ = 0;
    Reset();
    for (;;) {
      std::uint32_t c = ReadCode();
      if (c == radardb::kLzwEndCode) return;
      out += dict_[c];
      std::uint32_t p = c;
      for (;;) {
        c = ReadCode();
        if (c == radardb::kLzwEndCode || position_ == block.size()) return;
        if (c == radardb::kLzwClearCode || position_ % radardb::kLzwResetInterval == 0) {
          Reset();
          break;
        }
        if (c < nextFree_) {
          out += dict_[c];
          if (!Add(p, dict_[c][0])) return;
        } else {
          if (p >= radardb::kLzwDictionarySize || dict_[p].empty()) return;
          if (!Add(p, dict_[p][0])) return;
          out += dict_[nextFree_ - 1];
        }
        p = c;
      }
    }
  }

 private:
  std::uint32_t ReadCode() {
    while (bits_ < width_) {
      if (position_ == block_->size()) return radardb::kLzwEndCode;
      accumulator_ = (accumulator_ << 8) | static_cast<unsigned char>((*block_)[position_++]);
      bits_ += 8;
    }
    bits_ -= width_;
    return (accumulator_ >> bits_) & ((1u << width_) - 1);
  }

  void Reset() {
    nextFree_ = radardb::kLzwFirstFreeCode;
    width_ = radardb::kLzwInitialWidth;
    accumulator_ = 0;
    bits_ = 0;
  }

  bool Add(std::uint32_t p, char b) {
    if (nextFree_ >= radardb::kLzwDictionarySize) return false;
    dict_[nextFree_] = dict_[p] + b;
    ++nextFree_;
    if (nextFree_ == (1u << width_)) ++width_;
    return true;
  }

  std::vector<std::string> dict_;
  const std::string* block_ = nullptr;
  std::size_t position_ = 0;
  std::uint32_t accumulator_ = 0;
  unsigned bits_ = 0;
  unsigned width_ = radardb::kLzwInitialWidth;
  std::uint32_t nextFree_ = radardb::kLzwFirstFreeCode;
};

}  // namespace lzwtest
