#include "radardb/csv_export.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "radardb/csv_format.h"

namespace {

constexpr char kCreateError[] = "Error creating file ";
constexpr char kWriteError[] = "Error writing file ";

// Lines are gathered up to this many bytes before each write.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;
// Attempts at finding a free name for the temporary file beside the target.
constexpr int kTempNameAttempts = 100;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The temporary file an export writes before it replaces its target; removed unless kept.
class PendingFile {
 public:
  explicit PendingFile(const std::string& target) {
    for (int i = 0; i < kTempNameAttempts && !file_; ++i) {
      path_ = target + ".part" + std::to_string(i);
      // "x": created new, never an existing file.
      file_.reset(std::fopen(path_.c_str(), "wbx"));
    }
    if (!file_) path_.clear();
  }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() {
    file_.reset();
    if (!path_.empty()) std::remove(path_.c_str());
  }

  std::FILE* file() const { return file_.get(); }

  // Closes the file and moves it to `target`. False when closing or moving failed.
  bool CloseAndMoveTo(const std::string& target) {
    if (std::fclose(file_.release()) != 0) return false;
    std::error_code error;
    // A replaced file keeps its permissions.
    const std::filesystem::file_status existing = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(existing)) {
      std::filesystem::permissions(path_, existing.permissions(), error);
    }
    std::filesystem::rename(path_, target, error);
    if (error) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
  FilePtr file_;
};

// An existing target that we may not write to stays as it is, as if we had tried to create it.
bool ExistingFileIsWritable(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return true;
  return FilePtr(std::fopen(path.c_str(), "r+b")) != nullptr;
}

}  // namespace

bool WriteCsv(const RecordTable& rows, const std::vector<std::uint32_t>& order, std::FILE* out) {
  std::string chunk;
  chunk.reserve(kWriteChunk + kWriteChunk / 4);
  chunk.append(kCsvHeader);
  chunk.append(kCsvLineEnd);
  const std::size_t count = order.empty() ? rows.size() : order.size();
  for (std::size_t i = 0; i < count; ++i) {
    AppendCsvRow(rows, order.empty() ? i : order[i], chunk);
    if (chunk.size() >= kWriteChunk) {
      if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) return false;
      chunk.clear();
    }
  }
  if (std::fwrite(chunk.data(), 1, chunk.size(), out) != chunk.size()) return false;
  return std::fflush(out) == 0 && std::ferror(out) == 0;
}

std::string ExportCsvFile(const RecordTable& rows, const std::vector<std::uint32_t>& order,
                          const std::string& path) {
  if (!ExistingFileIsWritable(path)) return kCreateError + path;
  PendingFile pending(path);
  if (!pending.file()) return kCreateError + path;
  if (!WriteCsv(rows, order, pending.file())) return kWriteError + path;
  if (!pending.CloseAndMoveTo(path)) return kWriteError + path;
  return "";
}
