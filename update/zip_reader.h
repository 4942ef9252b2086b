#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "update/zip_directory.h"

// libarchive's reader.
struct archive;

namespace update {

// One entry of a ZIP archive as the installer sees it.
struct ZipEntry {
  std::string path;  // the stored path, every byte as stored, a NUL byte included
  ZipEntryKind kind = ZipEntryKind::kOther;
  // The entry's permission bits (within 0777) as the archiver recorded them, or 0644 when it
  // recorded none.
  unsigned mode = 0;
};

// Reads a ZIP archive held in memory, entry by entry in archive order, walking the local headers
// the way a streaming reader does, and holds every local header to the central directory: the
// n-th local header must store exactly the name of the n-th directory record, and the two lists
// must end together. Name, kind and mode come from the directory, which alone records types and
// modes; the data from the local headers. Sizes and CRC-32 are checked while an entry is
// extracted. Any disagreement, and any problem the library reports, warnings included, puts the
// reader into its failed state, after which it delivers no further entry.
class ZipReader {
 public:
  // `data` must stay alive and unchanged while the reader is used.
  ZipReader(const void* data, size_t size);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  // The number of entries the central directory lists; 0 when `data` has no readable central
  // directory (it is not a ZIP archive, or a cut one).
  size_t EntryCount() const { return directory_.size(); }

  enum class Step { kEntry, kEnd, kFailed };
  // Moves to the next entry and describes it in `entry`. kFailed when the next local header
  // cannot be read or disagrees with the directory, including when the archive's entries end
  // before the directory's or go on after them; `entry.path` then names the directory's entry
  // that was due (or, for an entry the directory lacks, the name the library read).
  Step Next(ZipEntry& entry);

  // Extracts the current entry's data, handing it to `write` piece by piece. False, leaving the
  // reader failed, when the data cannot be read, does not match its size or CRC-32, or `write`
  // returns false.
  bool Extract(const std::function<bool(const char* data, size_t size)>& write);

  // Passes over the current entry's data, checking it as Extract does. False, leaving the reader
  // failed, when that fails.
  bool Skip();

 private:
  std::string_view data_;
  std::vector<ZipDirectoryEntry> directory_;
  size_t next_ = 0;
  archive* archive_;
  bool failed_ = false;
  std::vector<char> buffer_;
};

}  // namespace update
