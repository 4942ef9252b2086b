#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace radardb {

// Where expanded bytes go. Write() returns false when the bytes could not all be stored.
class LzwOutputSink {
 public:
  virtual ~LzwOutputSink() = default;
  // Told once, before the first Write(), how many bytes the archive promises in all.
  virtual void Expect(std::uint64_t /*total*/) {}
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
};

// The decoder's output buffer: collects expanded bytes, hands them to a sink in large pieces, and
// keeps the most recent output readable so that repeated strings can be copied from it.
// Memory: up to about 1 MB, more only while a single string longer than that is being written.
class LzwOutput {
 public:
  // Bytes that may be read and written past the space Reserve() asks for.
  static constexpr std::size_t kSlack = 32;
  // The first this many bytes after the start are held, none handed to the sink before Flush().
  static constexpr std::size_t kHeldWhole = std::size_t{1} << 20;

  // The buffer a new output starts with; it grows as the output needs.
  static constexpr std::size_t kInitialBuffer = std::size_t{16} << 10;

  // An output whose first byte has the offset `start`, all blocks together, starting with a
  // buffer of `initialBuffer` bytes (an output known to be small may ask for less).
  explicit LzwOutput(LzwOutputSink& sink, std::uint64_t start = 0,
                     std::size_t initialBuffer = kInitialBuffer);
  LzwOutput(const LzwOutput&) = delete;
  LzwOutput& operator=(const LzwOutput&) = delete;

  // Starts afresh at offset `start`, as if newly made, but keeps the buffer's memory: bytes not
  // yet handed over are dropped, and the limit and the failure states are cleared.
  void Restart(std::uint64_t start);

  // The running total may not pass `limit`; a write that would pass it is refused and recorded.
  void SetLimit(std::uint64_t limit) { limit_ = limit; }
  bool LimitExceeded() const { return limitExceeded_; }
  // A write to the sink failed.
  bool Failed() const { return failed_; }

  // Bytes written so far, all blocks together.
  std::uint64_t Total() const { return base_ + used_; }

  // Makes room for `size` more bytes (plus kSlack) at offset Total(). Returns false when the
  // write would pass the limit or the sink failed. Moves the buffer: an open window must be
  // closed first.
  bool Reserve(std::size_t size);

  // A decoder's own view of the buffer, for an inner loop that keeps it in registers: the
  // output's members would otherwise be read again after every byte it stores. Bytes go to
  // data[used] on; `used` may grow up to `room` (and kSlack more bytes may be written and read
  // past it) without Reserve(). Output offsets below `base` are no longer held.
  struct Window {
    unsigned char* data;
    std::uint64_t base;  // output offset of data[0]
    std::size_t used;
    std::size_t room;
  };
  // The view as things stand, valid until Close(); Reserve() and Flush() need it closed.
  Window Open();
  // Adds the bytes written through `window` to the output.
  void Close(const Window& window) { used_ = window.used; }

  // Hands every byte not yet written to the sink. Returns false when the sink failed.
  bool Flush() { return Flush(sink_); }
  // The same, to `sink` instead of the output's own.
  bool Flush(LzwOutputSink& sink);

 private:
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

}  // namespace radardb
