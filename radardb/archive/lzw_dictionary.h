#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "radardb/archive/lzw_format.h"

namespace radardb {

// One string of the decoder's dictionary: its last byte appended to its parent's string. Nodes
// never change once made, so an entry that is overwritten leaves the strings built on its old
// contents intact.
struct LzwNode {
  // Output offset of a complete earlier copy of this string (a hint; kLzwNoPosition when none).
  // Offsets fit in 32 bits: an archive's total is a 32-bit number.
  std::uint32_t position;
  std::uint32_t parent;  // kLzwNoParent for single bytes
  std::uint32_t length;  // bytes in the string; 0 only for the empty node
  std::uint8_t last;
  std::uint8_t first;
};

inline constexpr std::uint32_t kLzwNoPosition = UINT32_MAX;
inline constexpr std::uint32_t kLzwNoParent = UINT32_MAX;
// Node of the string that holds no bytes: codes 256, 257 and entries not yet filled.
inline constexpr std::uint32_t kLzwEmptyNode = 256;

// The decoder's dictionary for one archive: codes 0..4095 mapped to strings, the next free code
// and the code width. Entries from 258 upward keep their strings across resets until
// overwritten or cleared. Memory: a fixed table plus the nodes still reachable from it
// (unreachable nodes are reclaimed at resets, often enough to keep them in cache).
class LzwDictionary {
 public:
  LzwDictionary();

  // Forgets the entries added since the last reset: the next free code becomes 258, the width 9.
  void Reset();
  // Empties every entry from 258 up and forgets the output offsets, as a new dictionary would
  // be, keeping the memory.
  void Clear();

  // The node id for `code` (below kLzwDictionarySize).
  std::uint32_t NodeOf(std::uint32_t code) const { return slots_[code]; }
  LzwNode& Node(std::uint32_t id) { return nodes_[id]; }
  const LzwNode& Node(std::uint32_t id) const { return nodes_[id]; }

  std::uint32_t NextFree() const { return nextFree_; }
  unsigned Width() const { return width_; }

  // The parts of the dictionary that adding an entry changes, for a decoder's inner loop that
  // keeps them in registers: the dictionary's own members would otherwise be read again after
  // every byte the decoder stores. Valid from Take() until Restore(), with no other call in
  // between.
  struct Cursor {
    LzwNode* nodes;
    std::uint32_t* slots;
    std::uint32_t nodeCount;
    std::uint32_t nextFree;
    unsigned width;
  };
  Cursor Take() { return {nodes_.data(), slots_.data(), nodeCount_, nextFree_, width_}; }
  void Restore(const Cursor& cursor) {
    nodeCount_ = cursor.nodeCount;
    nextFree_ = cursor.nextFree;
    width_ = cursor.width;
  }

  // Fills the entry at the next free code with the string of `prefixCode` followed by `byte`
  // (just `byte` when that string is empty), `position` being a known output offset of the new
  // string or kLzwNoPosition. Returns the new node, or kLzwNoParent when there is no room: the
  // dictionary is full (the next free code is past 4095), `prefixCode` is past 4095, or the
  // string would be longer than 2^32 - 1 bytes. The nodes always have room for every entry
  // still free: Reset() makes it.
  static std::uint32_t Add(Cursor& at, std::uint32_t prefixCode, std::uint8_t byte,
                           std::uint32_t position) {
    if (at.nextFree >= kLzwDictionarySize || prefixCode >= kLzwDictionarySize) return kLzwNoParent;
    const std::uint32_t prefix = at.slots[prefixCode];
    std::uint32_t id = byte;
    if (prefix != kLzwEmptyNode) {
      const LzwNode& p = at.nodes[prefix];
      if (p.length == UINT32_MAX) return kLzwNoParent;
      id = at.nodeCount++;
      at.nodes[id] = {position, prefix, p.length + 1, byte, p.first};
    }
    at.slots[at.nextFree] = id;
    ++at.nextFree;
    if (at.nextFree == (std::uint32_t{1} << at.width)) ++at.width;
    return id;
  }
  // The same on the dictionary itself.
  std::uint32_t Add(std::uint32_t prefixCode, std::uint8_t byte, std::uint32_t position) {
    Cursor at = Take();
    const std::uint32_t id = Add(at, prefixCode, byte, position);
    Restore(at);
    return id;
  }

 private:
  void Compact();

  // Room for the nodes at the last reset plus one generation's worth; nodeCount_ are in use.
  std::vector<LzwNode> nodes_;
  std::uint32_t nodeCount_ = 0;
  std::array<std::uint32_t, kLzwDictionarySize> slots_;
  // Scratch space of Compact(), indexed by node id, and the live nodes it found.
  std::vector<std::uint32_t> marks_;
  std::vector<std::uint32_t> newIds_;
  std::vector<std::uint32_t> live_;
  std::uint32_t epoch_ = 0;
  std::size_t compactAt_;
  std::uint32_t nextFree_ = kLzwFirstFreeCode;
  // Entries from here up have held nothing since the dictionary was made or cleared.
  std::uint32_t neverFilled_ = kLzwFirstFreeCode;
  unsigned width_ = kLzwInitialWidth;
};

}  // namespace radardb
