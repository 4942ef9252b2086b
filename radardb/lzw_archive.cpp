#include "radardb/lzw_archive.h"

#include "radardb/lzw_expand.h"
#include "radardb/lzw_io.h"
#include "radardb/lzw_temp_file.h"

namespace {

// Opens the archive and reads its layout; on failure returns the text and leaves `file` null.
std::string OpenArchive(const std::string& archivePath, LzwUniqueFile& file,
                        LzwArchiveLayout& layout) {
  file.reset(std::fopen(archivePath.c_str(), "rb"));
  if (!file) return kLzwFileNotFound;
  LzwFileSource source(file.get());
  std::string error = ReadLzwLayout(source, layout);
  if (!error.empty()) file.reset();
  return error;
}

}  // namespace

std::string DecompressLzw(const std::string& archivePath, std::string& createdTempPath) {
  createdTempPath.clear();
  LzwUniqueFile archive;
  LzwArchiveLayout layout;
  std::string error = OpenArchive(archivePath, archive, layout);
  if (!error.empty()) return error;
  LzwUniqueFile temp = CreateLzwTempFile(archivePath, createdTempPath);
  if (!temp) return kLzwTempFileError;
  LzwFileSource source(archive.get());
  LzwFileSink sink(temp.get());
  error = ExpandLzwBlocks(source, layout, sink);
  if (std::fclose(temp.release()) != 0 && error.empty()) error = kLzwTempFileError;
  return error;
}

std::string ExpandLzwArchive(const std::string& archivePath, std::FILE* out) {
  LzwUniqueFile archive;
  LzwArchiveLayout layout;
  std::string error = OpenArchive(archivePath, archive, layout);
  if (!error.empty()) return error;
  LzwFileSource source(archive.get());
  LzwFileSink sink(out);
  error = ExpandLzwBlocks(source, layout, sink);
  if (std::fflush(out) != 0 && error.empty()) error = kLzwTempFileError;
  return error;
}
