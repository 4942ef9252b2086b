#include "update/zip_reader.h"

#include <archive.h>
#include <archive_entry.h>

namespace update {

namespace {

// Bytes handed to the writer per piece of extracted data.
constexpr size_t kExtractBufferSize = 64 * 1024;
// The mode of an entry whose archiver recorded none.
constexpr unsigned kDefaultFileMode = 0644;

}  // namespace

ZipReader::ZipReader(const void* data, size_t size)
    : data_(static_cast<const char*>(data), size),
      directory_(ReadZipDirectory(data_).value_or(std::vector<ZipDirectoryEntry>())),
      archive_(archive_read_new()),
      buffer_(kExtractBufferSize) {
  failed_ = archive_ == nullptr ||
            archive_read_support_format_zip_streamable(archive_) != ARCHIVE_OK ||
            archive_read_open_memory(archive_, data, size) != ARCHIVE_OK;
}

ZipReader::~ZipReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
}

ZipReader::Step ZipReader::Next(ZipEntry& entry) {
  entry = ZipEntry();
  const ZipDirectoryEntry* due = next_ < directory_.size() ? &directory_[next_] : nullptr;
  if (due != nullptr) entry.path = due->name;
  if (failed_) return Step::kFailed;
  archive_entry* header = nullptr;
  const int result = archive_read_next_header(archive_, &header);
  if (result == ARCHIVE_EOF && due == nullptr) return Step::kEnd;
  // The library scans past damaged bytes to the next local header it can find; the position it
  // started from must hold the header that is due, or an entry would be skipped unseen.
  if (result != ARCHIVE_OK || due == nullptr ||
      !LocalHeaderNames(data_, archive_read_header_position(archive_), due->name)) {
    if (due == nullptr && header != nullptr && archive_entry_pathname(header) != nullptr) {
      entry.path = archive_entry_pathname(header);
    }
    failed_ = true;
    return Step::kFailed;
  }
  ++next_;
  entry.kind = due->kind;
  entry.mode = due->mode != 0 ? due->mode : kDefaultFileMode;
  return Step::kEntry;
}

bool ZipReader::Extract(const std::function<bool(const char* data, size_t size)>& write) {
  if (failed_) return false;
  for (;;) {
    const la_ssize_t got = archive_read_data(archive_, buffer_.data(), buffer_.size());
    if (got == 0) return true;
    if (got < 0 || !write(buffer_.data(), static_cast<size_t>(got))) {
      failed_ = true;
      return false;
    }
  }
}

bool ZipReader::Skip() {
  // Read through rather than skipped: the library's skip leaves a data descriptor unread, and
  // the next header's position would then not be where that header starts.
  return Extract([](const char*, size_t) { return true; });
}

}  // namespace update
