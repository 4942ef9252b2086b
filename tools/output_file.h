#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// The output file of a kestrolan-db command, written so that a failure never leaves a partial
// file behind and never harms a file that already has the target's name.
//
// The path "-" means standard output. Any other path is written through a new temporary file in
// the target's folder; Commit() moves it onto the target (replacing a file of that name). When
// the object is destroyed without a successful Commit(), the temporary file is deleted and the
// target is left as it was.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Prepares the output for `path`. Returns true on success; otherwise false with a message for
  // the user in `error` (naming the path and the system's reason). Call once per object.
  bool Open(const std::string& path, std::string& error);

  // The stream to write to; valid between a successful Open() and Commit(). Owned by this object.
  std::FILE* Stream() const { return stream_; }

  // Finishes the output: flushes it, checks that every write succeeded, closes the temporary file
  // and renames it onto the target. Returns true on success; otherwise false with `error` set, and
  // the temporary file is deleted.
  bool Commit(std::string& error);

 private:
  void Discard();

  std::FILE* stream_ = nullptr;
  bool toStandardOutput_ = false;
  std::string targetPath_;
  std::string tempPath_;  // "" when there is no temporary file on disk
};

// Writes `bytes` as the whole output for `path` ("-": standard output) through an OutputFile.
// Returns true on success; otherwise false with a message for the user in `error`.
bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& error);
