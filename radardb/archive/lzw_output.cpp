#include "radardb/archive/lzw_output.h"

#include <algorithm>
#include <cstring>

namespace radardb {

namespace {

constexpr std::size_t kBufferSize = LzwOutput::kHeldWhole;
// Output kept readable after a hand-over, so strings seen recently can still be copied.
constexpr std::size_t kHistoryKept = std::size_t{128} << 10;

}  // namespace

LzwOutput::LzwOutput(LzwOutputSink& sink, std::uint64_t start, std::size_t initialBuffer)
    : sink_(sink), buffer_(std::max<std::size_t>(initialBuffer, 1) + kSlack), base_(start) {}

void LzwOutput::Restart(std::uint64_t start) {
  base_ = start;
  used_ = 0;
  flushed_ = 0;
  limit_ = UINT64_MAX;
  limitExceeded_ = false;
  failed_ = false;
}

LzwOutput::Window LzwOutput::Open() {
  std::size_t room = 0;
  if (!failed_ && limit_ >= base_) {
    room =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - kSlack, limit_ - base_));
  }
  return {buffer_.data(), base_, used_, room};
}

bool LzwOutput::Reserve(std::size_t size) {
  if (failed_) return false;
  if (Total() > limit_ || limit_ - Total() < size) {
    limitExceeded_ = true;
    return false;
  }
  return used_ + size + kSlack <= buffer_.size() || Drain(size);
}

bool LzwOutput::Flush(LzwOutputSink& sink) {
  if (failed_) return false;
  if (used_ > flushed_ && !sink.Write(buffer_.data() + flushed_, used_ - flushed_)) {
    failed_ = true;
    return false;
  }
  flushed_ = used_;
  return true;
}

bool LzwOutput::Drain(std::size_t size) {
  // Small outputs never need the full buffer: it grows to kBufferSize before any hand-over.
  if (buffer_.size() < kBufferSize + kSlack) {
    buffer_.resize(
        std::max(std::min(2 * buffer_.size(), kBufferSize + kSlack), used_ + size + kSlack));
    if (used_ + size + kSlack <= buffer_.size()) return true;
  }
  if (!Flush()) return false;
  const std::size_t keep = used_ < kHistoryKept ? used_ : kHistoryKept;
  std::memmove(buffer_.data(), buffer_.data() + (used_ - keep), keep);
  base_ += used_ - keep;
  used_ = keep;
  flushed_ = keep;
  if (used_ + size + kSlack > buffer_.size()) buffer_.resize(used_ + size + kSlack);
  return true;
}

}  // namespace radardb
