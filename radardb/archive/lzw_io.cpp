#include "radardb/archive/lzw_io.h"

#include <sys/types.h>

#include <cerrno>
#include <cstring>

#include "platform/status.h"

namespace radardb {

namespace {

// Archives may pass 2 GiB, beyond fseek's long on some platforms: seek with 64-bit offsets.
#ifdef _WIN32
bool SeekTo(std::FILE* file, std::uint64_t offset, int origin = SEEK_SET) {
  return _fseeki64(file, static_cast<__int64>(offset), origin) == 0;
}
std::int64_t Tell(std::FILE* file) { return _ftelli64(file); }
#else
bool SeekTo(std::FILE* file, std::uint64_t offset, int origin = SEEK_SET) {
  return fseeko(file, static_cast<off_t>(offset), origin) == 0;
}
std::int64_t Tell(std::FILE* file) { return ftello(file); }
#endif

}  // namespace

LzwFileSource::LzwFileSource(std::FILE* file) : file_(file) {
  if (SeekTo(file_, 0, SEEK_END)) {
    const std::int64_t end = Tell(file_);
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

LzwFileSink::LzwFileSink(std::FILE* file) : file_(file) { std::setvbuf(file_, nullptr, _IONBF, 0); }

bool LzwFileSink::Write(const unsigned char* data, std::size_t size) {
  if (std::fwrite(data, 1, size, file_) == size) return true;
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  return false;
}

void LzwStringSink::Expect(std::uint64_t total) {
  // Only a hint: a damaged archive may promise more than memory holds, or than it has.
  [[maybe_unused]] const platform::Status reserved = platform::GuardMemory([&] {
    into_.reserve(into_.size() + static_cast<std::size_t>(total));
    return platform::Status();
  });
}

bool LzwStringSink::Write(const unsigned char* data, std::size_t size) {
  into_.append(reinterpret_cast<const char*>(data), size);
  return true;
}

}  // namespace radardb
