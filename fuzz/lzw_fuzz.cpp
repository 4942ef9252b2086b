// Fuzz target: feeds arbitrary bytes to the archive reader as a whole archive, decoding the blocks
// one after the other and side by side. Any input must give a result text without crashing,
// hanging or touching memory outside its buffers, and both decodes must give the same bytes and
// the same result.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "radardb/archive/lzw_expand.h"
#include "radardb/archive/lzw_io.h"

using namespace radardb;

namespace {

// More threads than most machines have cores, so blocks finish out of order.
constexpr unsigned kSideBySideThreads = 4;

// Keeps a 64-bit FNV-1a digest of the bytes and their count, not the bytes.
class DigestSink : public LzwOutputSink {
 public:
  bool Write(const unsigned char* data, std::size_t size) override {
    for (std::size_t i = 0; i < size; ++i) digest_ = (digest_ ^ data[i]) * 0x100000001b3;
    count_ += size;
    return true;
  }
  bool SameAs(const DigestSink& other) const {
    return digest_ == other.digest_ && count_ == other.count_;
  }

 private:
  std::uint64_t digest_ = 0xcbf29ce484222325;
  std::uint64_t count_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view archive(reinterpret_cast<const char*>(data), size);
  DigestSink inTurn;
  DigestSink sideBySide;
  const Status one = ExpandLzwBytes(archive, inTurn, 1);
  const Status many = ExpandLzwBytes(archive, sideBySide, kSideBySideThreads);
  FuzzCheck(one.message() == many.message() && inTurn.SameAs(sideBySide),
            "one thread and several give the same bytes and the same result");
  return 0;
}
