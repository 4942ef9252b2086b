#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where expanded bytes go. Write() returns false when the bytes could not all be stored.
class LzwOutputSink {
 public:
  virtual ~LzwOutputSink() = default;
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
};

// The decoder's output buffer: collects expanded bytes, hands them to a sink in large pieces, and
// keeps the most recent output readable so that repeated strings can be copied from it.
// Memory: up to about 1 MB, more only while a single string longer than that is being written.
class LzwOutput {
 public:
  // Bytes that may be read and written past the space Reserve() asks for.
  static constexpr std::size_t kSlack = 32;

  explicit LzwOutput(LzwOutputSink& sink);
  LzwOutput(const LzwOutput&) = delete;
  LzwOutput& operator=(const LzwOutput&) = delete;

  // The running total may not pass `limit`; a write that would pass it is refused and recorded.
  void SetLimit(std::uint64_t limit) { limit_ = limit; }
  bool LimitExceeded() const { return limitExceeded_; }
  // A write to the sink failed.
  bool Failed() const { return failed_; }

  // Bytes written so far, all blocks together.
  std::uint64_t Total() const { return base_ + used_; }

  // Room for `size` more bytes (plus kSlack) at offset Total(), or nullptr when the write would
  // pass the limit or the sink failed. The pointer is valid until the next Reserve() or Flush().
  unsigned char* Reserve(std::size_t size) {
    const std::uint64_t total = base_ + used_;
    if (!failed_ && total <= limit_ && limit_ - total >= size &&
        used_ + size + kSlack <= buffer_.size()) {
      return buffer_.data() + used_;
    }
    return ReserveSlow(size);
  }
  // Adds `size` bytes, filled in after the last Reserve(), to the output.
  void Commit(std::size_t size) { used_ += size; }

  // The output byte at offset `position` (below Total()) if it is still held (with kSlack
  // readable bytes after the held output), else nullptr.
  const unsigned char* At(std::uint64_t position) const {
    return position >= base_ ? buffer_.data() + (position - base_) : nullptr;
  }

  // Hands every byte not yet written to the sink. Returns false when the sink failed.
  bool Flush();

 private:
  unsigned char* ReserveSlow(std::size_t size);
  bool Drain(std::size_t size);

  LzwOutputSink& sink_;
  std::vector<unsigned char> buffer_;
  std::uint64_t base_ = 0;   // output offset of buffer_[0]
  std::size_t used_ = 0;     // bytes held in buffer_
  std::size_t flushed_ = 0;  // bytes of buffer_ already handed to the sink
  std::uint64_t limit_ = UINT64_MAX;
  bool limitExceeded_ = false;
  bool failed_ = false;
};
