#include "radardb/lzw_archive.h"

#include <cerrno>

#include "radardb/lzw_expand.h"
#include "radardb/lzw_io.h"

namespace {

// Variants of the temporary file's name tried before giving up.
constexpr int kMaxNameVariants = 1000;
constexpr char kSuffixWithoutExtension[] = ".tmp";

// Opens the archive and reads its layout; on failure leaves `file` empty.
Status OpenArchive(const std::string& archivePath, platform::File& file,
                   LzwArchiveLayout& layout) {
  file = platform::OpenFile(archivePath, "rb");
  if (!file) return Status::Error(kLzwFileNotFound);
  LzwFileSource source(file.get());
  Status status = ReadLzwLayout(source, layout);
  if (!status.ok()) file = platform::File();
  return status;
}

}  // namespace

Status DecompressLzw(const std::string& archivePath, std::string& createdTempPath) {
  createdTempPath.clear();
  platform::File archive;
  LzwArchiveLayout layout;
  Status status = OpenArchive(archivePath, archive, layout);
  if (!status.ok()) return status;
  platform::File temp = CreateLzwTempFile(archivePath, createdTempPath);
  if (!temp) return Status::Error(kLzwTempFileError);
  LzwFileSource source(archive.get());
  LzwFileSink sink(temp.get());
  status = ExpandLzwBlocks(source, layout, sink);
  if (!temp.Close() && status.ok()) status = Status::Error(kLzwTempFileError);
  return status;
}

Status ExpandLzwArchive(const std::string& archivePath, std::FILE* out) {
  platform::File archive;
  LzwArchiveLayout layout;
  Status status = OpenArchive(archivePath, archive, layout);
  if (!status.ok()) return status;
  LzwFileSource source(archive.get());
  LzwFileSink sink(out);
  status = ExpandLzwBlocks(source, layout, sink);
  if (std::fflush(out) != 0 && status.ok()) status = Status::Error(kLzwTempFileError);
  return status;
}

std::string LzwTempFileBaseName(const std::string& archivePath) {
  const std::size_t slash = archivePath.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = archivePath.find_last_of('.');
  // A dot that starts the name ("/maps/.lzw") or lies in a folder name is no extension.
  if (dot == std::string::npos || dot <= nameStart) return archivePath + kSuffixWithoutExtension;
  return archivePath.substr(0, dot);
}

platform::File CreateLzwTempFile(const std::string& archivePath, std::string& createdPath) {
  createdPath.clear();
  const std::string base = LzwTempFileBaseName(archivePath);
  for (int variant = 0; variant < kMaxNameVariants; ++variant) {
    const std::string candidate = variant == 0 ? base : base + "-" + std::to_string(variant);
    // "x": created exclusively; fails with EEXIST instead of truncating someone's file.
    platform::File file = platform::OpenFile(candidate, "wbx");
    if (file) {
      createdPath = candidate;
      return file;
    }
    if (errno != EEXIST) break;
  }
  return platform::File();
}
