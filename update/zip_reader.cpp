#include "update/zip_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace {

// Bytes handed to the writer per piece of extracted data.
constexpr size_t kExtractBufferSize = 64 * 1024;
constexpr unsigned kPermissionBits = 0777;
// The mode of an entry whose archiver recorded none.
constexpr unsigned kDefaultFileMode = 0644;

using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;

ZipEntryKind KindOfType(unsigned fileType) {
  switch (fileType) {
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

std::map<std::string, ZipReader::Attributes> ZipReader::ReadCentralDirectory(const void* data,
                                                                             size_t size) {
  std::map<std::string, Attributes> found;
  const ArchivePtr reader(archive_read_new(), archive_read_free);
  if (!reader || archive_read_support_format_zip_seekable(reader.get()) != ARCHIVE_OK ||
      archive_read_open_memory(reader.get(), data, size) != ARCHIVE_OK) {
    return found;
  }
  archive_entry* entry = nullptr;
  // What was read before a damaged record still describes its entries.
  while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
    const char* path = archive_entry_pathname(entry);
    if (path == nullptr) continue;
    // The first record wins when a path occurs twice.
    found.emplace(path, Attributes{KindOfType(archive_entry_filetype(entry)),
                                   archive_entry_perm(entry) & kPermissionBits});
  }
  return found;
}

ZipReader::ZipReader(const void* data, size_t size)
    : archive_(archive_read_new()),
      attributes_(ReadCentralDirectory(data, size)),
      buffer_(kExtractBufferSize) {
  // The streaming reader walks the local headers in archive order.
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
  const Attributes* attributes = found == attributes_.end() ? nullptr : &found->second;
  if (!entry.path.empty() && entry.path.back() == '/') {
    entry.kind = ZipEntryKind::kDirectory;
  } else if (attributes != nullptr && attributes->kind != ZipEntryKind::kFile) {
    entry.kind = attributes->kind;
  } else {
    entry.kind = KindOfType(archive_entry_filetype(header));
  }
  entry.mode = attributes != nullptr && attributes->mode != 0 ? attributes->mode : kDefaultFileMode;
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
