#pragma once

#include <cstddef>
#include <cstdint>

#include "radardb/archive/lzw_dictionary.h"
#include "radardb/archive/lzw_output.h"

namespace radardb {

// Zero bytes that must follow a block's bytes in memory; the decoder reads up to this many bytes
// past the block's end (and never uses them).
inline constexpr std::size_t kLzwBlockPadding = 4;

struct LzwBlockResult {
  // The running output total after the block.
  std::uint64_t total = 0;
  // The block named an entry from code 258 up that it had not filled itself, which only a
  // damaged block does: its bytes then depend on what earlier blocks left in the dictionary.
  bool namedOldEntry = false;
};

// Decodes one block of `length` bytes at `data` (followed by kLzwBlockPadding zero bytes) with
// `dictionary`, the dictionary of the archive being expanded, and appends the bytes to `out`.
// The block ends at the end code, when the input runs out (a code that ends on the block's last
// byte is then not decoded), or at once when the stream asks for something the dictionary cannot
// give (an entry past code 4095, or a copy of an empty entry's first byte); what was written
// stays written. It also ends when a write is refused by `out` (its limit or its sink).
LzwBlockResult LzwDecodeBlock(LzwDictionary& dictionary, const unsigned char* data,
                              std::size_t length, LzwOutput& out);

}  // namespace radardb
