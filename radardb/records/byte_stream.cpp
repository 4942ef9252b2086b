#include "radardb/records/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace radardb {

ByteStream::ByteStream(std::FILE* file, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 1)) {
  pos_ = end_ = buffer_.data();
}

ByteStream::ByteStream(std::string_view data)
    : pos_(reinterpret_cast<const std::uint8_t*>(data.data())), end_(pos_ + data.size()) {}

bool ByteStream::ReadBytes(void* dest, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(dest);
  while (count > 0) {
    if (pos_ == end_ && !Refill()) {
      error_ = true;
      return false;
    }
    const std::size_t chunk = std::min(count, static_cast<std::size_t>(end_ - pos_));
    std::memcpy(out, pos_, chunk);
    pos_ += chunk;
    out += chunk;
    count -= chunk;
  }
  return true;
}

bool ByteStream::Refill() {
  if (file_ == nullptr) return false;
  const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = buffer_.data();
  end_ = pos_ + got;
  return got > 0;
}

}  // namespace radardb
