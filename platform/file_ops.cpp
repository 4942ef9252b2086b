#include "platform/file_ops.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace platform {

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 20;
#ifdef _WIN32
constexpr char kFolderEnds[] = "\\/:";
#else
constexpr char kFolderEnds[] = "/";
#endif

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t end = path.find_last_of(kFolderEnds);
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

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

Status ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit) {
  bytes.clear();
  File owned;
  std::FILE* in = stdin;
  if (path != "-") {
    owned = OpenFile(path, "rb");
    if (!owned) {
      const StatusCode code = errno == ENOENT ? StatusCode::kNotFound : StatusCode::kReadError;
      return Status::Error(code, "cannot open '" + path + "': " + SystemReason());
    }
    in = owned.get();
  }
  const auto cannotRead = [&](const std::string& reason) {
    bytes = std::string();
    return Status::ReadError("cannot read '" + path + "': " + reason);
  };
  const std::string tooLarge = "more than " + std::to_string(limit) + " bytes";
  try {
    // A regular file's size is known: checked first, then one allocation, not a doubling series.
    const std::optional<std::uint64_t> size = StreamSize(in);
    if (size && *size > limit) return cannotRead(tooLarge);
    if (size) bytes.reserve(static_cast<std::size_t>(*size) + 1);
    std::vector<char> chunk(kReadChunk);
    for (;;) {
      const std::uint64_t allowed = limit - std::min<std::uint64_t>(limit, bytes.size());
      // One byte past the limit is read, to tell an input of `limit` bytes from a larger one.
      const std::size_t asked =
          allowed >= kReadChunk ? kReadChunk : static_cast<std::size_t>(allowed) + 1;
      const std::size_t got = std::fread(chunk.data(), 1, asked, in);
      bytes.append(chunk.data(), got);
      if (got < asked || bytes.size() > limit) break;
    }
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return cannotRead(SystemReason());
  }
  if (std::ferror(in)) return cannotRead(SystemReason());
  if (bytes.size() > limit) return cannotRead(tooLarge);
  return Status();
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace platform
