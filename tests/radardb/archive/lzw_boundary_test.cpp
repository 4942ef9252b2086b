#include <gtest/gtest.h>

#include <string>

#include "radardb/archive/lzw_expand.h"
#include "tests/radardb/archive/lzw_test_util.h"

using namespace radardb;

namespace {

using lzwtest::CodeStream;

std::string Expand(const std::string& archive, std::string& error) {
  std::string out;
  LzwStringSink sink(out);
  error = ExpandLzwBytes(archive, sink).message();
  return out;
}

// A block that first shifts the stream by `shifts` short generations ("A", clear: 3 bytes each),
// then runs one generation of `codes` codes 65, 258, 259, ... (each the entry just made: "A",
// "AA", "AAA", ...). Returns false when a code of that generation would land on a reset boundary.
bool GrowingRun(int shifts, int codes, std::string& block, std::size_t& expandedSize) {
  CodeStream s;
  expandedSize = 0;
  for (int i = 0; i < shifts; ++i) {
    s.Put(65);
    s.Put(kLzwClearCode);
    ++expandedSize;
  }
  s.Put(65);
  ++expandedSize;
  for (int i = 1; i < codes; ++i) {
    const std::uint32_t code = s.NextFree();
    if (s.PositionAfterNext() % kLzwResetInterval == 0) return false;
    s.Put(code);
    expandedSize += static_cast<std::size_t>(i) + 1;
  }
  s.Put(kLzwEndCode);
  block = s.Take();
  return true;
}

struct WidthCase {
  const char* fault;
  int codes;  // codes in the generation; the next free code reaches 258 + codes - 1
};

void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.fault; }

class WidthTest : public testing::TestWithParam<WidthCase> {};

TEST_P(WidthTest, ReadsEveryCodeInItsWidth) {
  const WidthCase& c = GetParam();
  std::string block;
  std::size_t expandedSize = 0;
  int shifts = 0;
  // Shift the generation until none of its codes ends on a multiple of 929.
  while (!GrowingRun(shifts, c.codes, block, expandedSize)) ++shifts;
  ASSERT_LT(shifts, 400);
  std::string error;
  const std::string out =
      Expand(lzwtest::Archive({block}, {static_cast<std::uint32_t>(expandedSize - 1)}), error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(out, std::string(expandedSize, 'A'));
}

INSTANTIATE_TEST_SUITE_P(Lzw, WidthTest,
                         testing::Values(WidthCase{"9 bits up to next free code 511", 254},
                                         WidthCase{"10 bits once the next free code reaches 512",
                                                   300},
                                         WidthCase{"11 bits once it reaches 1024", 800},
                                         WidthCase{"12 bits once it reaches 2048", 1850}));

struct BoundaryCase {
  const char* fault;
  std::size_t lastPosition;  // where the code before the one at the boundary ends
  bool lands;                // whether the next code ends exactly on the boundary
};

void PrintTo(const BoundaryCase& c, std::ostream* os) { *os << c.fault; }

class BoundaryTest : public testing::TestWithParam<BoundaryCase> {};

// Single-byte codes 'A'+i%26 run up to the 929 boundary; the code that reaches it is 'Z'+1 ("[").
// When it ends exactly on byte 929 it is discarded and "B" is the first code of a fresh
// dictionary; when it steps over, it is written and nothing is reset.
TEST_P(BoundaryTest, DiscardsOnlyACodeEndingExactlyOnTheBoundary) {
  const BoundaryCase& c = GetParam();
  for (int shifts = 0; shifts < 16; ++shifts) {
    CodeStream s;
    std::string expected;
    for (int i = 0; i < shifts; ++i) {
      s.Put(65);
      s.Put(kLzwClearCode);
      expected += 'A';
    }
    for (int i = 0; s.PositionAfterNext() < kLzwResetInterval; ++i) {
      const char letter = static_cast<char>('A' + i % 26);
      s.Put(static_cast<unsigned char>(letter));
      expected += letter;
    }
    const bool lands = s.PositionAfterNext() == kLzwResetInterval;
    if (lands != c.lands || s.Position() != c.lastPosition) continue;
    s.Put('[');
    if (!lands) expected += '[';
    // After a reset the next code is the first of a generation; otherwise an ordinary one.
    s.Put('B');
    expected += 'B';
    s.Put(kLzwEndCode);
    std::string error;
    const std::string out = Expand(
        lzwtest::Archive({s.Take()}, {static_cast<std::uint32_t>(expected.size() - 1)}), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(out, expected);
    return;
  }
  FAIL() << "no stream shift gives this boundary case";
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, BoundaryTest,
    testing::Values(BoundaryCase{"a code ending on byte 929 is discarded (from 928)", 928, true},
                    BoundaryCase{"a code ending on byte 929 is discarded (from 927)", 927, true},
                    BoundaryCase{"a code stepping from 928 to 930 triggers nothing", 928, false}));

}  // namespace
