#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

// An output file written so that a failure never leaves a partial file behind and never harms
// the file it is to replace, nor anything the path points at that is not a plain file:
// - A missing or regular target is written as a new file beside it, which Commit() moves onto
//   the target once every byte is written. Without a successful Commit() the new file is gone
//   and the target stays as it was. On Linux the new file has no name until the commit, so not
//   even SIGKILL leaves it behind; elsewhere it is ".NAME.partial", deleted on every path and,
//   where the program asked for it (platform::DeleteRegisteredFilesOnSignal), on a signal.
// - A target that is not a regular file (a pipe, a character device such as /dev/null, a
//   terminal, /dev/stdout) is opened and written where it is, never replaced.
// - A symbolic link is followed, also when it dangles (its target is created); the link stays.
// - An existing writable file in a folder where no new file can be made is emptied and written
//   in place: the one case where a failure leaves a partial output.
// The path "-" means standard output. A replaced file keeps its permission bits (not the
// set-user-ID and set-group-ID bits) and, where the system permits, its owner and group; a new
// file gets the usual mode for new files. Every output of the window and the tool goes through
// this.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Prepares the output for `path`; call once per object. Fails with "cannot create 'PATH':
  // REASON" when the new file cannot be made, or when an existing target may not be written (a
  // folder, a file without write permission).
  Status Open(const std::string& path);

  // The stream to write to; valid between a successful Open() and Commit(). Owned by this object.
  std::FILE* Stream() const { return stream_; }

  // Flushes and closes the output, checks that every write succeeded and moves the new file onto
  // the target. Fails with "cannot write 'PATH': REASON" or, when the move fails, "cannot create
  // 'PATH': REASON"; the new file is then gone.
  Status Commit();

  // The failure to report when a write to Stream() failed with the system error `error` (an
  // errno value): "cannot write 'PATH': REASON" ("cannot write to standard output: REASON").
  Status WriteFailure(int error) const;

 private:
  enum class Way { kStandardOutput, kReplace, kInPlace };

  // Each returns false (or an errno value) with the stream closed when it fails.
  bool OpenInPlace(bool truncate);
  int OpenNewFile();
  std::string TempName(int attempt) const;
  bool NameNewFile(int& error);
  bool Flushed(int& error);
  bool CloseStream(int& error);
  void Discard();

  Way way_ = Way::kReplace;
  std::FILE* stream_ = nullptr;
  int descriptor_ = -1;      // under stream_, where the system offers one
  int firstWriteError_ = 0;  // errno of the first failed write to stream_, where it can be known
  bool unnamed_ = false;     // the new file has no name yet, so nothing on disk to delete
  bool replacing_ = false;   // the target existed when the output was opened
  std::string shownPath_;    // the path as the caller named it, for messages
  std::string targetPath_;   // the file that is written or replaced (symbolic links followed)
  std::string tempPath_;     // "" when there is no named temporary file on disk
  int signalTicket_ = -1;    // tempPath_'s registration for deletion on a signal
};

// Writes the whole output for `path` ("-": standard output) through an OutputFile: `write` puts
// the bytes on the stream it is given, whose error flag Commit checks.
Status WriteOutputFile(const std::string& path, const std::function<void(std::FILE*)>& write);
// Writes `bytes` as the whole output for `path` ("-": standard output) through an OutputFile.
Status WriteOutputFile(const std::string& path, std::string_view bytes);

}  // namespace platform
