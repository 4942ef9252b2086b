#include "radardb/lzw_archive.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "radardb/lzw_expand.h"
#include "radardb/lzw_writer.h"
#include "tests/radardb/lzw_test_util.h"

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
       kLzwOutOfMemory, ""},
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
  };
}

class ArchiveCaseTest : public testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchiveCaseTest, ExpandsOrReportsExactly) {
  const ArchiveCase& c = GetParam();
  std::string out;
  LzwStringSink sink(out);
  EXPECT_EQ(ExpandLzwBytes(c.archive, sink).message(), c.error);
  EXPECT_EQ(out, c.expanded);
}

INSTANTIATE_TEST_SUITE_P(Lzw, ArchiveCaseTest, testing::ValuesIn(ArchiveCases()));

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
  EXPECT_EQ(ExpandLzwBytes(FourMegabyteArchive(), sink).message(), kLzwTempFileError)
      << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Lzw, FullOutputTest,
    testing::Values(FullOutputCase{"first hand-over refused", 0},
                    FullOutputCase{"totals checked before the output in mid-block",
                                   kBlockBytes / 2},
                    FullOutputCase{"the last write's failure ignored", kBlockBytes - 1}));

}  // namespace
