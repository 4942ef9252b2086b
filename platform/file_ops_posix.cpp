#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "platform/file_ops.h"

namespace platform {

bool DeleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool MoveFile(const std::string& from, const std::string& to) {
  // rename(2) would silently replace `to`; RENAME_NOREPLACE refuses instead.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without RENAME_NOREPLACE: link(2) fails on an existing target just the same.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::uint64_t> AvailableBytes(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return std::uint64_t{info.f_bavail} * info.f_frsize;
}

File OpenFile(const std::string& path, const char* mode) {
  return File(std::fopen(path.c_str(), mode));
}

File CreateNewFile(const std::string& path, bool ownerOnly) {
  constexpr mode_t kOwnerOnlyMode = 0600;
  constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        ownerOnly ? kOwnerOnlyMode : kNewFileMode);
  if (fd < 0) return File();
  std::FILE* stream = ::fdopen(fd, "wb");
  if (stream == nullptr) {
    const int saved = errno;
    ::close(fd);
    ::unlink(path.c_str());
    errno = saved;
  }
  return File(stream);
}

std::string SystemTempFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

File CreateUnnamedFile(const std::string& folder) {
  const std::string at = folder.empty() ? "." : folder;
  int fd = -1;
#ifdef O_TMPFILE
  fd = ::open(at.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  // Only these say that the file system cannot make nameless files; anything else is final.
  if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return File();
#endif
  if (fd < 0) {
    // The name lives only between these two calls.
    std::string pattern = at + "/.kestrolan-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return File();
    ::unlink(pattern.c_str());
  }
  std::FILE* stream = ::fdopen(fd, "w+b");
  if (stream == nullptr) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
  }
  return File(stream);
}

void CloseUnnamedFile(File file) {
  if (!file) return;
  // A second descriptor holds the pages while the stream closes here, so the thread is left with
  // one system call and nothing of the C library.
  const int descriptor = ::dup(::fileno(file.get()));
  file.Close();
  if (descriptor < 0) return;
  try {
    std::thread([descriptor] { ::close(descriptor); }).detach();
  } catch (const std::system_error&) {
    ::close(descriptor);
  }
}

std::filesystem::path FilesystemPath(const std::string& path) { return path; }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

std::optional<std::uint64_t> StreamSize(std::FILE* stream) {
  struct stat info {};
  if (::fstat(::fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace platform
