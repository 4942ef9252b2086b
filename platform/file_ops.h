#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/status.h"

// File operations on the operating system. Paths are byte strings handed to the OS unchanged.
namespace platform {

// Deletes the file at `path`. Returns true when a file was deleted.
bool DeleteFile(const std::string& path);

// Renames `from` to `to`. Fails, touching neither, when `to` already exists or `from` does not.
bool MoveFile(const std::string& from, const std::string& to);

// Renames `from` to `to` in one step, replacing a file `to` if there is one, so that `to` never
// goes missing. Fails, touching neither, when `from` does not exist or `to` is a folder.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Bytes an unprivileged user may still write on the file system holding `path` (an existing file
// or folder), or nullopt when the system cannot tell.
std::optional<std::uint64_t> AvailableBytes(const std::string& path);

// An open C stream that closes itself. Closing through the destructor ignores errors; output
// whose loss matters is finished with Close().
class File {
 public:
  File() = default;
  explicit File(std::FILE* stream) : stream_(stream) {}
  ~File() { Close(); }
  File(File&& other) noexcept : stream_(other.release()) {}
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  std::FILE* get() const { return stream_; }
  explicit operator bool() const { return stream_ != nullptr; }
  // Gives up ownership; the caller closes the stream.
  std::FILE* release();
  // Closes the stream. False when it was not open or closing failed (buffered data lost).
  bool Close();

 private:
  std::FILE* stream_ = nullptr;
};

// Opens `path` with fopen's `mode`; an empty File (errno set) when that fails.
File OpenFile(const std::string& path, const char* mode);

// Reads all of `path` ("-": standard input) into `bytes`. Fails with "cannot open 'PATH': REASON"
// or "cannot read 'PATH': REASON", REASON being the system's.
Status ReadWholeFile(const std::string& path, std::string& bytes);

// The system's text for the error code in errno.
std::string SystemReason();

}  // namespace platform
