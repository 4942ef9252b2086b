#include "radardb/archive/lzw_dictionary.h"

#include <algorithm>
#include <cstddef>

namespace radardb {

namespace {

// Nodes 0..255 are the single bytes, node 256 the empty string; these are never reclaimed.
constexpr std::uint32_t kFixedNodes = 257;
// Reclaiming unreachable nodes starts once this many exist (512 KB, so that new nodes are written
// to memory still in cache), and afterwards whenever the count has doubled since the last
// reclaim, so its cost stays proportional to decoding.
constexpr std::size_t kMinCompactThreshold = std::size_t{1} << 15;

}  // namespace

LzwDictionary::LzwDictionary()
    : nodes_(kFixedNodes + kLzwDictionarySize), compactAt_(kMinCompactThreshold) {
  for (std::uint32_t b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    nodes_[b] = {kLzwNoPosition, kLzwNoParent, 1, byte, byte};
  }
  nodes_[kLzwEmptyNode] = {kLzwNoPosition, kLzwNoParent, 0, 0, 0};
  nodeCount_ = kFixedNodes;
  for (std::uint32_t code = 0; code < kLzwDictionarySize; ++code) {
    slots_[code] = code < 256 ? code : kLzwEmptyNode;
  }
}

void LzwDictionary::Reset() {
  neverFilled_ = std::max(neverFilled_, nextFree_);
  nextFree_ = kLzwFirstFreeCode;
  width_ = kLzwInitialWidth;
  if (nodeCount_ >= compactAt_) Compact();
  // Between two resets at most one generation of entries is added.
  if (nodes_.size() < std::size_t{nodeCount_} + kLzwDictionarySize) {
    nodes_.resize(std::size_t{nodeCount_} + kLzwDictionarySize);
  }
}

void LzwDictionary::Clear() {
  const std::uint32_t filledEnd = std::max(neverFilled_, nextFree_);
  std::fill(slots_.begin() + kLzwFirstFreeCode, slots_.begin() + filledEnd, kLzwEmptyNode);
  for (std::uint32_t b = 0; b < 256; ++b) nodes_[b].position = kLzwNoPosition;
  nodeCount_ = kFixedNodes;
  compactAt_ = kMinCompactThreshold;
  nextFree_ = kLzwFirstFreeCode;
  neverFilled_ = kLzwFirstFreeCode;
  width_ = kLzwInitialWidth;
}

void LzwDictionary::Compact() {
  // Marks carry a number that changes with every reclaim, so the marks need no clearing.
  if (++epoch_ == 0) {
    std::fill(marks_.begin(), marks_.end(), 0);
    epoch_ = 1;
  }
  if (marks_.size() < nodeCount_) {
    marks_.resize(nodeCount_, 0);
    newIds_.resize(nodeCount_, 0);
  }
  live_.clear();
  for (std::uint32_t start : slots_) {
    for (std::uint32_t id = start; id >= kFixedNodes && marks_[id] != epoch_;
         id = nodes_[id].parent) {
      marks_[id] = epoch_;
      live_.push_back(id);
    }
  }
  // A node's parent always has a smaller id, so moving the live nodes down in id order keeps
  // every parent ahead of its children, and each move lands on a node already moved or dead.
  std::sort(live_.begin(), live_.end());
  std::uint32_t next = kFixedNodes;
  for (std::uint32_t id : live_) {
    LzwNode node = nodes_[id];
    if (node.parent >= kFixedNodes) node.parent = newIds_[node.parent];
    nodes_[next] = node;
    newIds_[id] = next++;
  }
  nodeCount_ = next;
  for (std::uint32_t& slot : slots_) {
    if (slot >= kFixedNodes) slot = newIds_[slot];
  }
  compactAt_ = std::max(kMinCompactThreshold, 2 * std::size_t{nodeCount_});
}

}  // namespace radardb
