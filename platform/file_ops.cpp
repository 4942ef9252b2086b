#include <cerrno>
#include <cstring>

#include "platform/file_ops.h"

namespace platform {

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 20;

}  // namespace

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    stream_ = other.release();
  }
  return *this;
}

std::FILE* File::release() {
  std::FILE* stream = stream_;
  stream_ = nullptr;
  return stream;
}

bool File::Close() {
  if (stream_ == nullptr) return false;
  return std::fclose(release()) == 0;
}

Status ReadWholeFile(const std::string& path, std::string& bytes) {
  File owned;
  std::FILE* in = stdin;
  if (path != "-") {
    owned = OpenFile(path, "rb");
    if (!owned) return Status::Error("cannot open '" + path + "': " + SystemReason());
    in = owned.get();
  }
  std::size_t got = 0;
  do {
    const std::size_t before = bytes.size();
    bytes.resize(before + kReadChunk);
    got = std::fread(bytes.data() + before, 1, kReadChunk, in);
    bytes.resize(before + got);
  } while (got == kReadChunk);
  if (std::ferror(in)) return Status::Error("cannot read '" + path + "': " + SystemReason());
  return Status();
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace platform
