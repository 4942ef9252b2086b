#include "radardb/archive/lzw_archive.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_writer.h"
#include "tests/radardb/archive/lzw_test_util.h"

using namespace radardb;

namespace {

using lzwtest::Archive;
using lzwtest::Bytes;

struct ArchiveCase {
  const char* fault;  // what a decoder that fails this case gets wrong
  std::string archive;
  std::string error;     // "" for success
  std::string expanded;  // bytes handed to the output, also on failure
};

void PrintTo(const ArchiveCase& c, std::ostream* os) { *os << c.fault; }

const std::string kAbabBlock = Bytes({0x20, 0x90, 0xA0, 0x50, 0x10});

std::string Replace(std::string s, std::size_t at, int byte) {
  s[at] = static_cast<char>(byte);
  return s;
}

std::string Codes(std::initializer_list<std::uint32_t> codes) {
  lzwtest::CodeStream s;
  for (std::uint32_t c : codes) s.Put(c);
  return s.Take();
}

// Fills 258 with "AB" and 259 with "BA": "ABAB".
const std::string kFillsAbBa = Codes({65, 66, 258, 257});
// Fills only 258, with "CC": "CC".
const std::string kFillsCc = Codes({67, 67, 257});
// Names 259, which it has not filled, then makes 258 from it: "BA" + "BAB" after kFillsAbBa.
const std::string kNamesOld259 = Codes({259, 258, 257});

// Sets the data offset of block table entry `entry`.
std::string WithOffset(std::string archive, std::size_t entry, std::uint32_t offset) {
  const std::size_t table = static_cast<unsigned char>(archive[6]) |
                            static_cast<std::size_t>(static_cast<unsigned char>(archive[7])) << 8;
  for (int i = 0; i < 4; ++i) {
    archive[table + entry * kLzwTableEntrySize + i] = static_cast<char>((offset >> (8 * i)) & 0xFF);
  }
  return archive;
}

std::vector<ArchiveCase> ArchiveCases() {
  const std::string abab =
      Bytes({0x52, 0x53, 0x01, 0x00, 0x00, 0x00, 0x13, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
             0x20, 0x90, 0xA0, 0x50, 0x10, 0x0E, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});
  return {
      {"the 27-byte ABAB archive: codes 65 66 258 257, last total stored minus one", abab, "",
       "ABAB"},
      {"a code equal to the next free code adds and writes the entry",
       Archive({Bytes({0x20, 0xC0, 0xA0, 0x20})}, {2}), "", "AAA"},
      {"a code finished by the block's last byte is not decoded",
       Archive({Bytes({0x20, 0x90, 0xA0, 0x40})}, {1}), "", "AB"},
      {"two blocks: the running total spans the archive, first entry as stored",
       Archive({kAbabBlock, kAbabBlock}, {4, 7}), "", "ABABABAB"},
      {"the first entry's total is not increased", Archive({kAbabBlock, kAbabBlock}, {3, 7}),
       kLzwDecompressError, "AB"},
      {"expected total one higher", Archive({kAbabBlock}, {4}), kLzwDecompressError, "ABAB"},
      {"expected total one lower (decoding stops before passing it)", Archive({kAbabBlock}, {2}),
       kLzwDecompressError, "AB"},
      {"stored 0xFFFFFFFF is an empty database", Archive({Bytes({0x80, 0x80})}, {0xFFFFFFFF}), "",
       ""},
      {"magic bytes swapped", Replace(Replace(abab, 0, 0x53), 1, 0x52), kLzwWrongFileFormat, ""},
      {"a header one byte short", abab.substr(0, 13), kLzwFileReadError, ""},
      {"no blocks at all", Replace(abab, 2, 0x00), kLzwWrongFileFormat, ""},
      {"a block table cut short", abab.substr(0, 26), kLzwFileReadError, ""},
      {"a hostile block count is refused before allocating", Replace(abab, 5, 0x7F),
       kLzwFileReadError, ""},
      {"two entries with the same offset (empty block)",
       [] {
         std::string a = Archive({kAbabBlock, kAbabBlock}, {4, 7});
         a[32] = a[24];  // second entry's offset = first's
         return a;
       }(),
       kLzwFileReadError, ""},
      {"offsets that run backwards",
       [] {
         std::string a = Archive({kAbabBlock, kAbabBlock}, {4, 7});
         a[32] = 0x0D;  // second block starts before the first
         return a;
       }(),
       platform::kOutOfMemory, ""},
      {"a block that runs past the end of the file",
       [] {
         std::string a = Archive({kAbabBlock, kAbabBlock}, {4, 7});
         a[35] = 0x7F;  // the second block starts far beyond the file: the first ends there
         return a;
       }(),
       kLzwFileReadError, ""},
      {"a clear code mid-stream restarts on the next byte boundary",
       [] {
         lzwtest::CodeStream s;
         for (std::uint32_t c : {65u, 66u, 256u, 67u, 257u}) s.Put(c);
         return Archive({s.Take()}, {2});
       }(),
       "", "ABC"},
      {"the first code after a reset that names an empty entry writes nothing",
       [] {
         lzwtest::CodeStream s;
         for (std::uint32_t c : {300u, 65u, 258u, 257u}) s.Put(c);
         return Archive({s.Take()}, {1});
       }(),
       "", "AA"},
      {"step 6 with an empty previous entry ends the block",
       [] {
         lzwtest::CodeStream s;
         for (std::uint32_t c : {300u, 258u, 65u, 257u}) s.Put(c);
         return Archive({s.Take()}, {0xFFFFFFFF});
       }(),
       "", ""},
      {"entries keep their contents from an earlier block of the archive",
       [] {
         lzwtest::CodeStream first;
         for (std::uint32_t c : {65u, 66u, 258u, 257u}) first.Put(c);
         lzwtest::CodeStream second;  // 258 still holds "AB", 259 "BA"
         for (std::uint32_t c : {259u, 65u, 257u}) second.Put(c);
         return Archive({first.Take(), second.Take()}, {4, 6});
       }(),
       "", "ABABBAA"},
      {"an overwritten entry leaves strings built on its old contents intact",
       [] {
         lzwtest::CodeStream s;
         // 258 = "AB", 259 = "BA", 260 = "ABB"; after the clear 258 becomes "CC", and the
         // first code after the next clear still finds "ABB" in 260.
         for (std::uint32_t c : {65u, 66u, 258u, 66u, 256u, 67u, 258u, 256u, 260u, 257u}) {
           s.Put(c);
         }
         return Archive({s.Take()}, {10});
       }(),
       "", "ABABBCCCABB"},
      {"an entry left two blocks back, the block between filling others (decoded side by side, "
       "it must be decoded again in turn)",
       Archive({kFillsAbBa, kFillsCc, kNamesOld259}, {4, 6, 10}), "", "ABABCCBABAB"},
      {"a block that needs the entries left before it and then fails",
       Archive({kFillsAbBa, kFillsCc, kNamesOld259}, {4, 6, 8}), kLzwDecompressError, "ABABCCBA"},
      {"the first failing block decides: a wrong total before offsets that run backwards",
       WithOffset(Archive({kAbabBlock, kAbabBlock, kAbabBlock, kAbabBlock}, {4, 9, 12, 15}), 3,
                  kLzwHeaderSize),
       kLzwDecompressError, "ABABABAB"},
      {"the first failing block decides: offsets that run backwards before a wrong total",
       WithOffset(Archive({kAbabBlock, kAbabBlock, kAbabBlock, kAbabBlock}, {4, 8, 13, 15}), 2,
                  kLzwHeaderSize),
       platform::kOutOfMemory, "ABAB"},
  };
}

class ArchiveCaseTest : public testing::TestWithParam<ArchiveCase> {};

// The kind a failure with each of the archive's texts carries, which callers branch on.
platform::StatusCode KindOf(const std::string& error) {
  using platform::StatusCode;
  if (error.empty()) return StatusCode::kOk;
  if (error == kLzwFileReadError) return StatusCode::kReadError;
  if (error == platform::kOutOfMemory) return StatusCode::kOutOfMemory;
  if (error == kLzwTempFileError) return StatusCode::kWriteError;
  return StatusCode::kBadFormat;  // wrong format, or a block that does not decode
}

// One thread decodes the blocks one after the other; four decode them side by side.
TEST_P(ArchiveCaseTest, ExpandsOrReportsExactly) {
  const ArchiveCase& c = GetParam();
  for (const unsigned threads : {1u, 4u}) {
    std::string out;
    LzwStringSink sink(out);
    const Status status = ExpandLzwBytes(c.archive, sink, threads);
    EXPECT_EQ(status.message(), c.error) << threads;
    EXPECT_EQ(status.code(), KindOf(c.error)) << threads;
    EXPECT_EQ(out, c.expanded) << threads;
  }
}

INSTANTIATE_TEST_SUITE_P(Lzw, ArchiveCaseTest, testing::ValuesIn(ArchiveCases()));

std::string ExpandWith(const std::string& archive, unsigned threads, std::string& error) {
  std::string out;
  LzwStringSink sink(out);
  error = ExpandLzwBytes(archive, sink, threads).message();
  return out;
}

// Codes 65, 258, 259, ... ("A", "AA", "AAA", ...), a new generation wherever a code would end on
// a reset boundary, until at least `bytes` are written. Returns the bytes written.
std::size_t PutGrowingRuns(lzwtest::CodeStream& s, std::size_t bytes) {
  std::size_t written = 0;
  while (written < bytes) {
    s.Put(65);
    std::size_t length = 1;
    written += length;
    while (s.PositionAfterNext() % kLzwResetInterval != 0 && written < bytes) {
      s.Put(s.NextFree());
      written += ++length;
    }
    s.Put(kLzwClearCode);
  }
  return written;
}

// Faults caught: a block too large to hold whole, decoded in turn between blocks decoded side by
// side, that misses the entries left before it, or leaves the wrong ones to the block after it.
TEST(LzwSideBySideTest, LargeBlockBetweenSmallOnesSharesTheirEntries) {
  lzwtest::CodeStream large;
  large.Put(259);  // "BA", left by the block before
  large.Put(kLzwClearCode);
  const std::size_t runs = PutGrowingRuns(large, LzwOutput::kHeldWhole);
  large.Put(kLzwEndCode);
  // The block after names 259, left as "AAA" by the large block's last generation.
  const std::string expected = "ABAB" + std::string("BA") + std::string(runs, 'A') + "AAAAAAA";
  const std::string archive = Archive(
      {kFillsAbBa, large.Take(), kNamesOld259},
      {4, static_cast<std::uint32_t>(6 + runs), static_cast<std::uint32_t>(expected.size() - 1)});
  for (const unsigned threads : {1u, 4u}) {
    std::string error;
    EXPECT_EQ(ExpandWith(archive, threads, error), expected) << threads;
    EXPECT_EQ(error, "") << threads;
  }
}

// Faults caught: damage (codes naming entries left by earlier blocks, wrong totals, broken
// offsets) that gives other bytes or another outcome when blocks are decoded side by side.
TEST(LzwSideBySideTest, DamagedArchivesExpandAlikeOnOneThreadAndOnFour) {
  std::mt19937 random(929);
  std::string data;
  while (data.size() < 60000) data += "Rue " + std::to_string(random() % 50) + " Lyon; ";
  const std::string archive = CompressLzw(data, 3000);
  for (int copy = 0; copy < 300; ++copy) {
    std::string damaged = archive;
    for (int i = 0, n = 1 + copy % 3; i < n; ++i) {
      damaged[kLzwHeaderSize + random() % (archive.size() - kLzwHeaderSize)] ^=
          static_cast<char>(1 << (random() % 8));
    }
    std::string oneError;
    std::string fourError;
    const std::string one = ExpandWith(damaged, 1, oneError);
    EXPECT_EQ(ExpandWith(damaged, 4, fourError), one) << copy;
    EXPECT_EQ(fourError, oneError) << copy;
  }
}

// Takes bytes until `capacity` would be passed, then refuses every write, as a full disk does.
class FillingSink : public LzwOutputSink {
 public:
  explicit FillingSink(std::size_t capacity) : capacity_(capacity) {}
  bool Write(const unsigned char*, std::size_t size) override {
    if (size > capacity_ - taken_) return false;
    taken_ += size;
    return true;
  }

 private:
  std::size_t capacity_;
  std::size_t taken_ = 0;
};

struct FullOutputCase {
  const char* fault;
  std::size_t capacity;
};

void PrintTo(const FullOutputCase& c, std::ostream* os) { *os << c.fault; }

class FullOutputTest : public testing::TestWithParam<FullOutputCase> {};

constexpr std::size_t kBlockBytes = std::size_t{4} << 20;

// One 4 MB block, so the output fails inside a block, not between two.
const std::string& FourMegabyteArchive() {
  static const std::string archive = [] {
    std::mt19937 random(241);
    std::string data;
    for (std::size_t i = 0; i < kBlockBytes; ++i)
      data.push_back(static_cast<char>('a' + random() % 8));
    return CompressLzw(data, kBlockBytes);
  }();
  return archive;
}

// A failed write is reported as such even though the block's total then falls short too.
TEST_P(FullOutputTest, ReportsTheOutputNotTheArchive) {
  FillingSink sink(GetParam().capacity);
  const Status status = ExpandLzwBytes(FourMegabyteArchive(), sink);
  EXPECT_EQ(status.message(), kLzwTempFileError) << GetParam().fault;
  EXPECT_EQ(status.code(), platform::StatusCode::kWriteError) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, FullOutputTest,
    testing::Values(FullOutputCase{"first hand-over refused", 0},
                    FullOutputCase{"totals checked before the output in mid-block",
                                   kBlockBytes / 2},
                    FullOutputCase{"the last write's failure ignored", kBlockBytes - 1}));

}  // namespace
