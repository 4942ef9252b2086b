#include "tools/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// Attempts to find a free temporary name beside the target before giving up.
constexpr int kMaxTempNameAttempts = 1000;

// The folder part of `path` including its final '/', or "" for a bare file name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path, std::string& error) {
  if (path == "-") {
    toStandardOutput_ = true;
    stream_ = stdout;
    return true;
  }
  targetPath_ = path;
  const std::string folder = FolderOf(path);
  const std::string base = path.substr(folder.size());
  for (int attempt = 0; attempt < kMaxTempNameAttempts; ++attempt) {
    std::string candidate = folder + "." + base + ".partial";
    // Appended, not "x" + string: GCC 12 at -O3 warns falsely (-Wrestrict) on the latter.
    if (attempt > 0) candidate.append("-").append(std::to_string(attempt));
    // "x": create exclusively, so a file that happens to have this name is never touched.
    stream_ = std::fopen(candidate.c_str(), "wbx");
    if (stream_ != nullptr) {
      tempPath_ = candidate;
      return true;
    }
    if (errno != EEXIST) {
      error = "cannot create '" + path + "': " + SystemReason();
      return false;
    }
  }
  error = "cannot create '" + path + "': no free temporary name in its folder";
  return false;
}

bool OutputFile::Commit(std::string& error) {
  if (toStandardOutput_) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      error = "cannot write to standard output: " + SystemReason();
      return false;
    }
    return true;
  }
  bool written = std::fflush(stream_) == 0 && !std::ferror(stream_);
  std::string reason = written ? std::string() : SystemReason();
  if (std::fclose(stream_) != 0 && written) {
    written = false;
    reason = SystemReason();
  }
  stream_ = nullptr;
  if (!written) {
    error = "cannot write '" + targetPath_ + "': " + reason;
    Discard();
    return false;
  }
  // Unlike std::rename on Windows, this replaces an existing target on every platform.
  std::error_code renamed;
  std::filesystem::rename(tempPath_, targetPath_, renamed);
  if (renamed) {
    error = "cannot create '" + targetPath_ + "': " + renamed.message();
    Discard();
    return false;
  }
  tempPath_.clear();
  return true;
}

void OutputFile::Discard() {
  if (toStandardOutput_) return;
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (!tempPath_.empty()) {
    std::remove(tempPath_.c_str());
    tempPath_.clear();
  }
}

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string& error) {
  OutputFile out;
  if (!out.Open(path, error)) return false;
  std::fwrite(bytes.data(), 1, bytes.size(), out.Stream());
  // Commit checks that every write succeeded.
  return out.Commit(error);
}
