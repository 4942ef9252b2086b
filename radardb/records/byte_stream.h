#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

namespace radardb {

// A forward-only reader of bytes, from a file through a large buffer or from memory, with
// big-endian number reads. A read that runs past the end (or a failed file read) sets the error
// state, which stays set; such a read yields 0 or fewer bytes than asked for.
class ByteStream {
 public:
  static constexpr std::size_t kDefaultBufferSize = std::size_t{1} << 20;

  // Reads `file` from its current position. The stream does not own `file`, which must stay open
  // while the stream is in use. `bufferSize` must be at least 1.
  explicit ByteStream(std::FILE* file, std::size_t bufferSize = kDefaultBufferSize);
  // Reads the bytes of `data`, which are not copied and must outlive the stream.
  explicit ByteStream(std::string_view data);

  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  std::uint8_t ReadU8() {
    if (pos_ == end_ && !Refill()) {
      error_ = true;
      return 0;
    }
    return *pos_++;
  }
  std::uint16_t ReadU16BE() {
    const std::uint16_t high = ReadU8();
    return static_cast<std::uint16_t>(high << 8 | ReadU8());
  }
  std::uint32_t ReadU32BE() {
    const std::uint32_t high = ReadU16BE();
    return high << 16 | ReadU16BE();
  }
  // Copies the next `count` bytes to `dest`. Returns false (error state set) when fewer remain;
  // the bytes that were there have then been copied.
  bool ReadBytes(void* dest, std::size_t count);

  bool IsError() const { return error_; }

 private:
  // Makes more bytes available from the file. False at the end of the data or on a read error.
  bool Refill();

  std::FILE* file_ = nullptr;
  std::vector<std::uint8_t> buffer_;
  const std::uint8_t* pos_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  bool error_ = false;
};

}  // namespace radardb
