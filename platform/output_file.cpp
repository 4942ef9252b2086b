#include "platform/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_ops.h"
#include "platform/output_stream.h"
#include "platform/signal_cleanup.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

// Attempts to find a free temporary name beside the target before giving up.
constexpr int kMaxTempNameAttempts = 1000;
// Links followed to find a dangling link's target, as the systems' own limit for a path.
constexpr int kMaxLinkHops = 40;
// OpenNewFile's answer when every temporary name is taken.
constexpr int kNoFreeName = -1;

enum class TargetKind { kMissing, kRegular, kFolder, kOther };

struct Target {
  std::string path;  // symbolic links followed
  TargetKind kind = TargetKind::kMissing;
};

// Where a dangling link (or a chain of them) ends: the file the output is to create. Returns
// false with `error` set when a link cannot be read or the chain does not end.
bool FollowDanglingLinks(const std::string& path, Target& target, int& error) {
  std::error_code failure;
  fs::path current = FilesystemPath(path);
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    if (!fs::is_symlink(fs::symlink_status(current, failure))) {
      target = {PathText(current), TargetKind::kMissing};
      return true;
    }
    const fs::path next = fs::read_symlink(current, failure);
    if (failure) {
      error = failure.value();
      return false;
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  error = ELOOP;
  return false;
}

// What `path` names once its links are followed. Returns false with `error` set when the system
// cannot tell (a folder on the way that may not be searched, a loop of links).
bool ResolveTarget(const std::string& path, Target& target, int& error) {
  std::error_code failure;
  const fs::file_status status = fs::status(FilesystemPath(path), failure);
  switch (status.type()) {
    case fs::file_type::not_found:
      return FollowDanglingLinks(path, target, error);
    case fs::file_type::none:
      error = failure.value();
      return false;
    case fs::file_type::regular: {
      // The new file goes beside the real one, so a link is not replaced by the file.
      const fs::path real = fs::canonical(FilesystemPath(path), failure);
      target = {failure ? path : PathText(real), TargetKind::kRegular};
      return true;
    }
    case fs::file_type::directory:
      target = {path, TargetKind::kFolder};
      return true;
    default:
      target = {path, TargetKind::kOther};
      return true;
  }
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

// True for the errors of a folder that admits no new file although its files may be written.
bool FolderClosedToNewFiles(int error) { return error == EACCES || error == EPERM; }

}  // namespace

OutputFile::~OutputFile() { Discard(); }

Status OutputFile::Open(const std::string& path) {
  shownPath_ = path;
  if (path == "-") {
    way_ = Way::kStandardOutput;
    stream_ = stdout;
    return Status();
  }
  const auto cannotCreate = [&path](int error) {
    return WriteStatus(error, "cannot create '" + path + "': " + std::strerror(error));
  };
  Target target;
  int error = 0;
  if (!ResolveTarget(path, target, error)) return cannotCreate(error);
  targetPath_ = target.path;
  if (target.kind == TargetKind::kOther) return OpenInPlace(false) ? Status() : cannotCreate(errno);
  replacing_ = target.kind != TargetKind::kMissing;
  // An existing target that we may not write to stays as it is, as if it could not be created.
  if (replacing_ && !OpenFile(targetPath_, "r+b")) return cannotCreate(errno);
  error = OpenNewFile();
  if (error == 0) return Status();
  if (error == kNoFreeName) {
    return Status::WriteError("cannot create '" + path + "': no free temporary name in its folder");
  }
  if (!replacing_ || !FolderClosedToNewFiles(error)) return cannotCreate(error);
  return OpenInPlace(true) ? Status() : cannotCreate(errno);
}

bool OutputFile::OpenInPlace(bool truncate) {
  way_ = Way::kInPlace;
  OutputStream output = OpenOutputInPlace(targetPath_, truncate, &firstWriteError_);
  descriptor_ = output.descriptor;
  stream_ = output.file.release();
  return stream_ != nullptr;
}

int OutputFile::OpenNewFile() {
  // A file that replaces another is readable by its owner only until TakeOverAttributes.
  const std::string folder = FolderOf(targetPath_);
  OutputStream output = CreateUnnamedOutput(folder, replacing_, &firstWriteError_);
  unnamed_ = static_cast<bool>(output.file);
  for (int attempt = 0; !output.file && errno == EOPNOTSUPP; ++attempt) {
    if (attempt == kMaxTempNameAttempts) return kNoFreeName;
    const std::string candidate = TempName(attempt);
    const SignalHold held;
    output = CreateNamedOutput(candidate, replacing_, &firstWriteError_);
    if (output.file) {
      tempPath_ = candidate;
      signalTicket_ = RegisterFileForSignal(tempPath_);
    } else if (errno == EEXIST) {
      errno = EOPNOTSUPP;  // try the next name
    }
  }
  if (!output.file) return errno;
  descriptor_ = output.descriptor;
  stream_ = output.file.release();
  return 0;
}

std::string OutputFile::TempName(int attempt) const {
  const std::string folder = FolderOf(targetPath_);
  std::string name = folder + "." + targetPath_.substr(folder.size()) + ".partial";
  // Appended, not "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
  if (attempt > 0) name.append("-").append(std::to_string(attempt));
  return name;
}

bool OutputFile::NameNewFile(int& error) {
  // A missing target gets its name in one step; one that exists is replaced by a rename.
  if (!replacing_ && NameUnnamedOutput(descriptor_, targetPath_)) {
    unnamed_ = false;
    return true;
  }
  for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
    const std::string candidate = TempName(attempt);
    const SignalHold held;
    if (NameUnnamedOutput(descriptor_, candidate)) {
      unnamed_ = false;
      tempPath_ = candidate;
      signalTicket_ = RegisterFileForSignal(tempPath_);
      return true;
    }
    if (errno != EEXIST) {
      error = errno;
      return false;
    }
  }
  error = EEXIST;
  return false;
}

bool OutputFile::Flushed(int& error) {
  if (std::fflush(stream_) == 0 && !std::ferror(stream_)) return true;
  error = firstWriteError_ != 0 ? firstWriteError_ : errno;
  return false;
}

bool OutputFile::CloseStream(int& error) {
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  descriptor_ = -1;
  if (!closed) error = firstWriteError_ != 0 ? firstWriteError_ : errno;
  return closed;
}

Status OutputFile::Commit() {
  if (way_ == Way::kStandardOutput) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return WriteFailure(errno);
    return Status();
  }
  if (way_ == Way::kReplace && replacing_) TakeOverAttributes(descriptor_, targetPath_);
  int error = 0;
  // Written and named before the stream closes, since closing an unnamed file deletes it.
  if (!Flushed(error)) {
    Discard();
    return WriteFailure(error);
  }
  const bool named = !unnamed_ || NameNewFile(error);
  if (!named || !CloseStream(error)) {
    const Status failure =
        named ? WriteFailure(error)
              : WriteStatus(error, "cannot create '" + shownPath_ + "': " + std::strerror(error));
    Discard();
    return failure;
  }
  if (tempPath_.empty()) return Status();
  const SignalHold held;
  if (!MoveFileReplacing(tempPath_, targetPath_)) {
    error = errno;
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
  if (way_ == Way::kStandardOutput) {
    return WriteStatus(error, "cannot write to standard output: " + reason);
  }
  return WriteStatus(error, "cannot write '" + shownPath_ + "': " + reason);
}

void OutputFile::Discard() {
  if (way_ == Way::kStandardOutput) return;
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
