#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/status.h"

// File operations on the operating system. Paths are byte strings: handed to the OS unchanged on
// POSIX systems, read as UTF-8 and handed to the wide-character calls on Windows.
namespace platform {

// Deletes the file at `path`. Returns true when a file was deleted.
bool DeleteFile(const std::string& path);

// Renames `from` to `to`. Fails, touching neither, when `to` already exists or `from` does not.
bool MoveFile(const std::string& from, const std::string& to);

// Renames `from` to `to` in one step, replacing a file `to` if there is one, so that `to` never
// goes missing. Fails, touching neither and with errno set, when `from` does not exist or `to` is
// a folder.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// True when `a` and `b` name the same existing file, whatever their spelling: "./x", an absolute
// path, a symbolic link or a hard link to it (POSIX: the device and inode after following links;
// Windows: the volume serial number and file index). False when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

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

// Creates `path` as a new, empty file open for binary writing; fails (errno EEXIST) when anything
// of that name exists, which is never opened. With `ownerOnly` only the file's owner may read it
// (on systems with such permissions); otherwise it gets the usual mode for new files.
File CreateNewFile(const std::string& path, bool ownerOnly = false);

// The folder part of `path` with its final separator ("maps/" for "maps/radar.lzw"), or "" for a
// bare file name. On Windows '\\' separates too, and a drive's ':' ends the folder part.
std::string FolderOf(const std::string& path);

// `path` for the std::filesystem calls, decoded the way the functions above decode it, and back.
std::filesystem::path FilesystemPath(const std::string& path);
std::string PathText(const std::filesystem::path& path);

// The size of the regular file open in `stream`, or nullopt for a pipe, a device or on failure.
std::optional<std::uint64_t> StreamSize(std::FILE* stream);

// Reads `path` ("-": standard input) into `bytes`, replacing its content. Fails with "cannot open
// 'PATH': REASON" or "cannot read 'PATH': REASON", REASON being the system's (also when memory
// runs out: "Cannot allocate memory"), and with "cannot read 'PATH': more than LIMIT bytes" for an
// input larger than `limit`, found from a file's size or after reading one byte past the limit of
// a stream. On failure `bytes` is empty.
Status ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t limit = UINT64_MAX);

// The system's text for the error code in errno.
std::string SystemReason();

}  // namespace platform
