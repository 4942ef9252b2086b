#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/output_stream.h"

namespace platform {

namespace {

constexpr mode_t kOwnerOnlyMode = 0600;
constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
// Permission bits and the sticky bit; set-user-ID and set-group-ID are left behind.
constexpr mode_t kCarriedModeBits = 01777;

#ifdef __GLIBC__
// The stream writes through this, so the error of a failing write is kept where it happens:
// errno itself is overwritten by whatever call comes next.
struct RecordingCookie {
  int descriptor;
  int* firstError;
};

ssize_t WriteRecording(void* cookie, const char* bytes, size_t size) {
  auto* recording = static_cast<RecordingCookie*>(cookie);
  size_t written = 0;
  while (written < size) {
    const ssize_t step = ::write(recording->descriptor, bytes + written, size - written);
    if (step < 0 && errno == EINTR) continue;
    if (step <= 0) {
      if (*recording->firstError == 0) *recording->firstError = step < 0 ? errno : ENOSPC;
      return -1;  // the output has failed; how much of it reached the file no longer matters
    }
    written += static_cast<size_t>(step);
  }
  return static_cast<ssize_t>(written);
}

int CloseRecording(void* cookie) {
  const std::unique_ptr<RecordingCookie> recording(static_cast<RecordingCookie*>(cookie));
  return ::close(recording->descriptor);
}
#endif

// A writing stream over `descriptor`, which it owns from now on (closed also on failure).
OutputStream StreamOver(int descriptor, int* firstError) {
  if (descriptor < 0) return {};
#ifdef __GLIBC__
  auto cookie = std::make_unique<RecordingCookie>(RecordingCookie{descriptor, firstError});
  std::FILE* stream =
      ::fopencookie(cookie.get(), "wb", {nullptr, WriteRecording, nullptr, CloseRecording});
  if (stream != nullptr) cookie.release();
#else
  (void)firstError;
  std::FILE* stream = ::fdopen(descriptor, "wb");
#endif
  if (stream == nullptr) {
    const int saved = errno;
    ::close(descriptor);
    errno = saved;
    return {};
  }
  return {File(stream), descriptor};
}

}  // namespace

OutputStream CreateUnnamedOutput(const std::string& folder, bool ownerOnly, int* firstError) {
#ifdef O_TMPFILE
  const int descriptor =
      ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC,
             ownerOnly ? kOwnerOnlyMode : kNewFileMode);
  // Kernels and file systems without nameless files answer in several ways.
  if (descriptor < 0 && (errno == EISDIR || errno == EINVAL || errno == EOPNOTSUPP))
    errno = EOPNOTSUPP;
  return StreamOver(descriptor, firstError);
#else
  (void)folder, (void)ownerOnly, (void)firstError;
  errno = EOPNOTSUPP;
  return {};
#endif
}

OutputStream CreateNamedOutput(const std::string& path, bool ownerOnly, int* firstError) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                ownerOnly ? kOwnerOnlyMode : kNewFileMode);
  OutputStream output = StreamOver(descriptor, firstError);
  if (descriptor >= 0 && !output.file) {
    const int saved = errno;
    ::unlink(path.c_str());
    errno = saved;
  }
  return output;
}

OutputStream OpenOutputInPlace(const std::string& path, bool truncate, int* firstError) {
  // No O_CREAT: should the file vanish meanwhile, nothing new is made in its place (in /dev, say).
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (truncate ? O_TRUNC : 0));
  return StreamOver(descriptor, firstError);
}

bool NameUnnamedOutput(int descriptor, const std::string& path) {
  // Naming through /proc needs no privilege, unlike AT_EMPTY_PATH.
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

void TakeOverAttributes(int descriptor, const std::string& replaced) {
  struct stat existing {};
  if (descriptor < 0 || ::stat(replaced.c_str(), &existing) != 0) return;
  // Keeping the owner needs privileges we usually lack; the group often works. Both come before
  // the mode, since a change of owner may clear its set-id bits.
  if (::fchown(descriptor, existing.st_uid, existing.st_gid) != 0) {
    [[maybe_unused]] const int ignored =
        ::fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid);
  }
  ::fchmod(descriptor, existing.st_mode & kCarriedModeBits);
}

}  // namespace platform
