#include "radardb/archive/lzw_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "radardb/archive/lzw_expand.h"
#include "tests/radardb/archive/lzw_reference_decoder.h"
#include "tests/radardb/archive/lzw_test_util.h"

using namespace radardb;

namespace {

std::uint32_t Little32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::string Expand(const std::string& archive, std::string& error) {
  std::string out;
  LzwStringSink sink(out);
  error = ExpandLzwBytes(archive, sink).message();
  return out;
}

// Data of a given size and kind, from a fixed seed.
struct DataKind {
  const char* name;
  unsigned alphabet;  // 1: one byte repeated; 256: random bytes
  bool wordy;         // repeated words, as the database texts
};

std::string MakeData(const DataKind& kind, std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s;
  const char* const words[] = {"Rue ", "de ", "la ", "Gare ", "50 ", "km/h ", "Lyon ", "\0\0\0\0"};
  while (s.size() < size) {
    if (kind.wordy) {
      s += words[rng() % 8];
    } else {
      s.push_back(static_cast<char>(rng() % kind.alphabet));
    }
  }
  s.resize(size);
  return s;
}

struct RoundTripCase {
  DataKind kind;
  std::size_t size;
  std::size_t blockSize;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.kind.name << " size " << c.size << " block " << c.blockSize;
}

std::vector<RoundTripCase> RoundTripCases() {
  const DataKind kinds[] = {{"constant (every code a new entry)", 1, false},
                            {"two symbols", 2, false},
                            {"sixteen symbols", 16, false},
                            {"random bytes (widths past 512 skip no code)", 256, false},
                            {"words and zero padding", 0, true}};
  const std::size_t sizes[] = {0, 1, 2, 928, 929, 930, 5000, 70000};
  const std::size_t blockSizes[] = {1, 7, 929, 4096, kDefaultLzwBlockSize};
  std::vector<RoundTripCase> cases;
  for (const DataKind& kind : kinds) {
    for (std::size_t size : sizes) {
      for (std::size_t blockSize : blockSizes) {
        if (blockSize == 1 && size > 5000) continue;  // a block per byte: slow, adds nothing
        cases.push_back({kind, size, blockSize});
      }
    }
  }
  return cases;
}

class RoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// Faults caught: the writer's width schedule out of step with the reader's, the reset boundary
// not mirrored, a block table entry off by one, blocks split at the wrong place.
TEST_P(RoundTripTest, ExpandsBackToTheSameBytes) {
  const RoundTripCase& c = GetParam();
  const std::string data = MakeData(c.kind, c.size, static_cast<std::uint32_t>(c.size * 31 + 7));
  const std::string archive = CompressLzw(data, c.blockSize);
  std::string error;
  EXPECT_EQ(Expand(archive, error), data);
  EXPECT_EQ(error, "");
  const std::size_t blocks = c.size == 0 ? 1 : (c.size + c.blockSize - 1) / c.blockSize;
  EXPECT_EQ(Little32(archive, kLzwBlockCountOffset), blocks);
  EXPECT_EQ(Little32(archive, kLzwTableOffsetOffset), archive.size() - blocks * 8);
  EXPECT_EQ(Little32(archive, archive.size() - 4), static_cast<std::uint32_t>(c.size - 1));
}

INSTANTIATE_TEST_SUITE_P(Lzw, RoundTripTest, testing::ValuesIn(RoundTripCases()));

TEST(LzwWriterTest, EmptyDataIsOneBlockHoldingOnlyTheEndCode) {
  // The end code 257 in 9 bits, padded: 1000 0000 1000 0000.
  EXPECT_EQ(CompressLzw(""), lzwtest::Archive({lzwtest::Bytes({0x80, 0x80})}, {0xFFFFFFFF}));
}

TEST(LzwWriterTest, AbabGivesTheCodesOfTheWorkedExample) {
  EXPECT_EQ(CompressLzw("ABAB"),
            lzwtest::Archive({lzwtest::Bytes({0x20, 0x90, 0xA0, 0x50, 0x10})}, {3}));
}

// Decodes an archive of `blockCount` random code streams, valid and not, with the fast decoder
// and the plain one, and expects the same bytes.
void ExpectAgreementOnRandomArchive(std::mt19937& rng, int blockCount, int maxCodes) {
  lzwtest::ReferenceDecoder reference;
  std::vector<std::string> blocks;
  std::string expected;
  std::vector<std::uint32_t> ends;
  for (int b = 0; b < blockCount; ++b) {
    lzwtest::CodeStream stream;
    const int codes = 1 + static_cast<int>(rng() % maxCodes);
    for (int i = 0; i < codes; ++i) {
      const unsigned pick = rng() % 100;
      std::uint32_t code;
      if (pick < 50) {
        code = rng() % 256;
      } else if (pick < 85) {
        code = kLzwFirstFreeCode + rng() % (stream.NextFree() - kLzwFirstFreeCode + 2);
      } else if (pick < 87) {
        code = kLzwClearCode;
      } else {
        code = rng() % (1u << LzwWidthFor(stream.NextFree()));
        if (code == kLzwEndCode) code = 0;
      }
      stream.Put(code);
    }
    if (rng() % 4 != 0) stream.Put(kLzwEndCode);
    blocks.push_back(stream.Take());
    reference.DecodeBlock(blocks.back(), expected);
    ends.push_back(static_cast<std::uint32_t>(expected.size()));
  }
  ends.back() -= 1;
  std::string error;
  EXPECT_EQ(Expand(lzwtest::Archive(blocks, ends), error), expected);
  EXPECT_EQ(error, "");
}

// Faults caught: strings built on an overwritten entry changing with it, the step-6 and
// empty-entry decisions, a wrong boundary or width, reading outside the dictionary.
TEST(LzwDecoderAgreesWithReference, OnRandomCodeStreams) {
  std::mt19937 rng(4242);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    ExpectAgreementOnRandomArchive(rng, 1 + static_cast<int>(rng() % 3), 1500);
    if (HasFailure()) return;
  }
}

// Fault caught: reclaiming unreachable strings losing or relinking one still reachable from an
// entry of an earlier generation (tens of thousands of strings are made before reclaiming).
TEST(LzwDecoderAgreesWithReference, AcrossReclaimingOfOldStrings) {
  std::mt19937 rng(929);
  ExpectAgreementOnRandomArchive(rng, 120, 3000);
}

// Fault caught: a string whose last copy has left the decoder's output buffer being rebuilt
// wrongly. The first block fills entries up to about 1000 with varied strings; the next blocks
// write over 1 MB using entries below 600 only; the last block starts with entry 990.
TEST(LzwDecoderAgreesWithReference, OnStringsLongSinceWritten) {
  std::mt19937 rng(7);
  std::vector<std::string> blocks;
  lzwtest::CodeStream first;
  first.Put(65);
  while (first.NextFree() < 1000 && first.PositionAfterNext() < kLzwResetInterval) {
    first.Put(rng() % 2 == 0 ? rng() % 4 + 65 : first.NextFree() - 1 - rng() % 20);
  }
  ASSERT_GT(first.NextFree(), 991u);
  first.Put(kLzwEndCode);
  blocks.push_back(first.Take());
  for (int b = 0; b < 30; ++b) {
    lzwtest::CodeStream run;  // "C", "CC", "CCC", ...: about 45 KB from 300 codes
    run.Put(67);
    for (int i = 1; i < 300; ++i) run.Put(run.NextFree());
    run.Put(kLzwEndCode);
    blocks.push_back(run.Take());
  }
  lzwtest::CodeStream last;
  last.Put(990);
  last.Put(65);
  last.Put(kLzwEndCode);
  blocks.push_back(last.Take());

  lzwtest::ReferenceDecoder reference;
  std::string expected;
  std::vector<std::uint32_t> ends;
  for (const std::string& block : blocks) {
    reference.DecodeBlock(block, expected);
    ends.push_back(static_cast<std::uint32_t>(expected.size()));
  }
  ends.back() -= 1;
  ASSERT_GT(expected.size(), std::size_t{1} << 20);
  std::string error;
  EXPECT_EQ(Expand(lzwtest::Archive(blocks, ends), error), expected);
  EXPECT_EQ(error, "");
}

}  // namespace
