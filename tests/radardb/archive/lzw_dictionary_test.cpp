#include "radardb/archive/lzw_dictionary.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace radardb;

namespace {

// The string of `code`, read by walking its nodes from the last byte back.
std::string StringOf(const LzwDictionary& d, std::uint32_t code) {
  std::uint32_t id = d.NodeOf(code);
  std::string s(d.Node(id).length, '\0');
  for (std::size_t i = s.size(); i > 0; --i) {
    s[i - 1] = static_cast<char>(d.Node(id).last);
    id = d.Node(id).parent;
  }
  return s;
}

// Faults caught: reclaiming unreachable nodes dropping or misrelinking a node still reachable
// from an old entry; an overwritten entry changing the strings built on its old contents.
TEST(LzwDictionaryTest, EveryEntryKeepsItsStringAcrossResetsAndReclaiming) {
  std::mt19937 rng(2012);
  LzwDictionary d;
  std::vector<std::string> expected(kLzwDictionarySize);
  for (int b = 0; b < 256; ++b) expected[b] = std::string(1, static_cast<char>(b));
  for (int generation = 0; generation < 1000; ++generation) {
    d.Reset();
    const int adds = 1 + static_cast<int>(rng() % 600);
    for (int i = 0; i < adds; ++i) {
      // Mostly recent entries, sometimes old or empty ones, as a corrupt stream would.
      const std::uint32_t prefix =
          rng() % 8 == 0 ? rng() % kLzwDictionarySize : rng() % d.NextFree();
      const auto byte = static_cast<std::uint8_t>(rng() % 4);
      const std::uint32_t code = d.NextFree();
      ASSERT_NE(d.Add(prefix, byte, kLzwNoPosition), kLzwNoParent);
      const std::string& p = expected[prefix];
      expected[code] =
          (prefix == kLzwClearCode || prefix == kLzwEndCode ? "" : p) + static_cast<char>(byte);
    }
    if (generation % 5 == 4) {
      for (std::uint32_t code = 0; code < kLzwDictionarySize; ++code) {
        ASSERT_EQ(StringOf(d, code), expected[code]) << "generation " << generation;
      }
    }
  }
}

TEST(LzwDictionaryTest, WidthGrowsAtPowersOfTwoAndAddingStopsAt4096) {
  LzwDictionary d;
  std::vector<unsigned> widthAt;
  while (d.Add(65, 'A', kLzwNoPosition) != kLzwNoParent) widthAt.push_back(d.Width());
  EXPECT_EQ(d.NextFree(), kLzwDictionarySize);
  EXPECT_EQ(widthAt.size(), kLzwDictionarySize - kLzwFirstFreeCode);
  EXPECT_EQ(widthAt[510 - 258], 9u);   // next free 511
  EXPECT_EQ(widthAt[511 - 258], 10u);  // next free 512
  EXPECT_EQ(widthAt[1023 - 258], 11u);
  EXPECT_EQ(widthAt[2047 - 258], 12u);
  EXPECT_EQ(widthAt[4095 - 258], 13u);
}

}  // namespace
