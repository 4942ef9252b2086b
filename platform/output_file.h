#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

// An output file written so that a failure never leaves a partial file behind and never harms
// the file it is to replace: the bytes go to a new temporary file beside the target, which
// Commit() moves onto the target once every byte is written. Without a successful Commit() the
// temporary file is deleted and the target stays as it was. Every output of the window and the
// tool goes through this.
//
// Where the program asked for it (platform::DeleteRegisteredFilesOnSignal), the temporary file is
// deleted also when SIGINT, SIGTERM or SIGHUP ends the process.
//
// The path "-" means standard output. A target that is a symbolic link is resolved, so the file
// it names is replaced and the link stays. A replaced file keeps its permission bits and, where
// the system permits, its owner and group; a new file gets the usual mode for new files.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Prepares the output for `path`; call once per object. Fails with "cannot create 'PATH':
  // REASON" when the temporary file cannot be made, or when an existing target may not be
  // written (a folder, a file without write permission).
  Status Open(const std::string& path);

  // The stream to write to; valid between a successful Open() and Commit(). Owned by this object.
  std::FILE* Stream() const { return stream_; }

  // Flushes and closes the output, checks that every write succeeded and moves the temporary
  // file onto the target. Fails with "cannot write 'PATH': REASON" or, when the move fails,
  // "cannot create 'PATH': REASON"; the temporary file is then deleted.
  Status Commit();

  // The failure to report when a write to Stream() failed with the system error `error` (an
  // errno value): "cannot write 'PATH': REASON" ("cannot write to standard output: REASON").
  Status WriteFailure(int error) const;

 private:
  void Discard();

  std::FILE* stream_ = nullptr;
  bool toStandardOutput_ = false;
  std::string shownPath_;   // the path as the caller named it, for messages
  std::string targetPath_;  // the file that is replaced (a symbolic link resolved)
  std::string tempPath_;    // "" when there is no temporary file on disk
  int signalTicket_ = -1;   // tempPath_'s registration for deletion on a signal
};

// Writes the whole output for `path` ("-": standard output) through an OutputFile: `write` puts
// the bytes on the stream it is given, whose error flag Commit checks.
Status WriteOutputFile(const std::string& path, const std::function<void(std::FILE*)>& write);
// Writes `bytes` as the whole output for `path` ("-": standard output) through an OutputFile.
Status WriteOutputFile(const std::string& path, std::string_view bytes);

}  // namespace platform
