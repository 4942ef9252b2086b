#include "update/zip_reader.h"

#include <archive.h>
#include <archive_entry.h>

namespace {

// Bytes handed to the writer per piece of extracted data.
constexpr size_t kExtractBufferSize = 64 * 1024;
constexpr unsigned kPermissionBits = 0777;
// The mode of an entry whose archiver recorded none.
constexpr unsigned kDefaultFileMode = 0644;

ZipEntryKind KindOf(archive_entry* entry, const std::string& path,
                    const ZipEntryAttributes* attributes) {
  if (!path.empty() && path.back() == '/') return ZipEntryKind::kDirectory;
  if (attributes != nullptr && attributes->isSymbolicLink) return ZipEntryKind::kSymbolicLink;
  if (attributes != nullptr && attributes->isDirectory) return ZipEntryKind::kDirectory;
  switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
      return ZipEntryKind::kFile;
    case AE_IFDIR:
      return ZipEntryKind::kDirectory;
    case AE_IFLNK:
      return ZipEntryKind::kSymbolicLink;
    default:
      return ZipEntryKind::kOther;
  }
}

}  // namespace

ZipReader::ZipReader(const void* data, size_t size)
    : archive_(archive_read_new()),
      attributes_(ReadZipCentralDirectory(data, size)),
      buffer_(kExtractBufferSize) {
  // Only the streaming reader: it walks the local headers in archive order.
  failed_ = archive_ == nullptr ||
            archive_read_support_format_zip_streamable(archive_) != ARCHIVE_OK ||
            archive_read_open_memory(archive_, data, size) != ARCHIVE_OK;
}

ZipReader::~ZipReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
}

ZipReader::Step ZipReader::Next(ZipEntry& entry) {
  entry = ZipEntry();
  if (failed_) return Step::kFailed;
  archive_entry* header = nullptr;
  const int result = archive_read_next_header(archive_, &header);
  if (result == ARCHIVE_EOF) return Step::kEnd;
  if (header != nullptr && archive_entry_pathname(header) != nullptr) {
    entry.path = archive_entry_pathname(header);
  }
  if (result != ARCHIVE_OK) {
    failed_ = true;
    return Step::kFailed;
  }
  const auto found = attributes_.find(entry.path);
  const ZipEntryAttributes* attributes = found == attributes_.end() ? nullptr : &found->second;
  entry.kind = KindOf(header, entry.path, attributes);
  entry.mode = attributes != nullptr && attributes->hasMode ? attributes->mode & kPermissionBits
                                                            : kDefaultFileMode;
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
  if (failed_) return false;
  failed_ = archive_read_data_skip(archive_) != ARCHIVE_OK;
  return !failed_;
}
