#include "platform/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_ops.h"
#include "platform/signal_cleanup.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// Attempts to find a free temporary name beside the target before giving up.
constexpr int kMaxTempNameAttempts = 1000;

// The file a write to `path` should replace: the file a symbolic link names, else `path`.
std::string ResolvedTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(FilesystemPath(path), error)) return path;
  const std::filesystem::path resolved = std::filesystem::canonical(FilesystemPath(path), error);
  return error ? path : PathText(resolved);
}

// A failure to write for the system error `error`: out of space, or any other write error.
Status WriteStatus(int error, std::string message) {
  const bool full = error == ENOSPC
#ifdef EDQUOT
                    || error == EDQUOT
#endif
      ;
  return full ? Status::NoSpace(std::move(message)) : Status::WriteError(std::move(message));
}

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(FilesystemPath(path), error);
}

#ifdef _WIN32
void TakeOverAttributes(std::FILE*, const std::string&) {}
#else
// Gives `stream` the owner, group and mode of the file at `replaced`, as far as permitted.
void TakeOverAttributes(std::FILE* stream, const std::string& replaced) {
  struct stat existing {};
  if (::stat(replaced.c_str(), &existing) != 0) return;
  const int fd = ::fileno(stream);
  // Keeping the owner needs privileges we usually lack; the group often works. Both come before
  // the mode, since a change of owner may clear its set-id bits.
  if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
  }
  ::fchmod(fd, existing.st_mode & 07777);
}
#endif

}  // namespace

OutputFile::~OutputFile() { Discard(); }

Status OutputFile::Open(const std::string& path) {
  shownPath_ = path;
  if (path == "-") {
    toStandardOutput_ = true;
    stream_ = stdout;
    return Status();
  }
  const auto cannotCreate = [&path] {
    const int error = errno;
    return WriteStatus(error, "cannot create '" + path + "': " + std::strerror(error));
  };
  targetPath_ = ResolvedTarget(path);
  const bool replacing = Exists(targetPath_);
  // An existing target that we may not write to stays as it is, as if it could not be created.
  if (replacing && !OpenFile(targetPath_, "r+b")) return cannotCreate();
  const std::string folder = FolderOf(targetPath_);
  const std::string base = targetPath_.substr(folder.size());
  for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
    std::string candidate = folder + "." + base + ".partial";
    // Appended, not "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
    if (attempt > 0) candidate.append("-").append(std::to_string(attempt));
    const SignalHold held;
    // A file that replaces another is readable by its owner only until TakeOverAttributes.
    stream_ = CreateNewFile(candidate, replacing).release();
    if (stream_ != nullptr) {
      tempPath_ = candidate;
      signalTicket_ = RegisterFileForSignal(tempPath_);
      return Status();
    }
    if (errno != EEXIST) return cannotCreate();
  }
  return Status::WriteError("cannot create '" + path + "': no free temporary name in its folder");
}

Status OutputFile::Commit() {
  if (toStandardOutput_) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return WriteFailure(errno);
    return Status();
  }
  TakeOverAttributes(stream_, targetPath_);
  bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
  int error = written ? 0 : errno;
  if (std::fclose(stream_) != 0 && written) {
    written = false;
    error = errno;
  }
  stream_ = nullptr;
  if (!written) {
    Discard();
    return WriteFailure(error);
  }
  const SignalHold held;
  if (!MoveFileReplacing(tempPath_, targetPath_)) {
    const int error = errno;
    const std::string reason = SystemReason();
    Discard();
    return WriteStatus(error, "cannot create '" + shownPath_ + "': " + reason);
  }
  tempPath_.clear();
  UnregisterFile(signalTicket_);
  signalTicket_ = -1;
  return Status();
}

Status OutputFile::WriteFailure(int error) const {
  const std::string reason = std::strerror(error);
  if (toStandardOutput_) return WriteStatus(error, "cannot write to standard output: " + reason);
  return WriteStatus(error, "cannot write '" + shownPath_ + "': " + reason);
}

void OutputFile::Discard() {
  if (toStandardOutput_) return;
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!tempPath_.empty()) {
    const SignalHold held;
    DeleteFile(tempPath_);
    tempPath_.clear();
    UnregisterFile(signalTicket_);
    signalTicket_ = -1;
  }
}

Status WriteOutputFile(const std::string& path, const std::function<void(std::FILE*)>& write) {
  OutputFile out;
  Status status = out.Open(path);
  if (!status.ok()) return status;
  write(out.Stream());
  // Commit checks that every write succeeded.
  return out.Commit();
}

Status WriteOutputFile(const std::string& path, std::string_view bytes) {
  return WriteOutputFile(
      path, [bytes](std::FILE* out) { std::fwrite(bytes.data(), 1, bytes.size(), out); });
}

}  // namespace platform
