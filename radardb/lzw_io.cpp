#include "radardb/lzw_io.h"

#include <sys/types.h>

#include <cstring>

namespace {

// fseeko/ftello take 64-bit offsets on every platform this builds for; fseek's long may not.
bool SeekTo(std::FILE* file, std::uint64_t offset) {
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

}  // namespace

LzwFileSource::LzwFileSource(std::FILE* file) : file_(file) {
  if (fseeko(file_, 0, SEEK_END) == 0) {
    const off_t end = ftello(file_);
    if (end > 0) size_ = static_cast<std::uint64_t>(end);
  }
}

bool LzwFileSource::ReadAt(std::uint64_t offset, std::size_t size, unsigned char* into) {
  if (offset > size_ || size > size_ - offset) return false;
  return SeekTo(file_, offset) && std::fread(into, 1, size, file_) == size;
}

bool LzwMemorySource::ReadAt(std::uint64_t offset, std::size_t size, unsigned char* into) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
  if (size > 0) std::memcpy(into, bytes_.data() + offset, size);
  return true;
}

bool LzwFileSink::Write(const unsigned char* data, std::size_t size) {
  return std::fwrite(data, 1, size, file_) == size;
}

bool LzwStringSink::Write(const unsigned char* data, std::size_t size) {
  into_.append(reinterpret_cast<const char*>(data), size);
  return true;
}
