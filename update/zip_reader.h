#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct archive;

enum class ZipEntryKind { kFile, kDirectory, kSymbolicLink, kOther };

// One entry of a ZIP archive as its local header describes it.
struct ZipEntry {
  std::string path;  // the stored path, bytes as stored
  ZipEntryKind kind = ZipEntryKind::kOther;
  // The entry's permission bits (within 0777) as the archiver recorded them, or 0644 when it
  // recorded none.
  unsigned mode = 0;
};

// Reads a ZIP archive held in memory, entry by entry in archive order, walking the local headers
// the way a streaming reader does. The central directory (read by libarchive's seekable reader)
// only adds what local headers lack: each entry's type (symbolic links are recognised only
// through it) and permission bits. Sizes and CRC-32 are checked while an entry is extracted. Any problem the library reports, warnings
// included, puts the reader into its failed state, after which it delivers no further entry.
class ZipReader {
 public:
  // `data` must stay alive and unchanged while the reader is used.
  ZipReader(const void* data, size_t size);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  enum class Step { kEntry, kEnd, kFailed };
  // Moves to the next entry and describes it in `entry`. kFailed also when `data` is not a ZIP
  // archive at all; `entry.path` then holds whatever part of the failing header was read (often
  // nothing).
  Step Next(ZipEntry& entry);

  // Extracts the current entry's data, handing it to `write` piece by piece. False, leaving the
  // reader failed, when the data cannot be read, does not match its size or CRC-32, or `write`
  // returns false.
  bool Extract(const std::function<bool(const char* data, size_t size)>& write);

  // Passes over the current entry's data. False, leaving the reader failed, when that fails.
  bool Skip();

 private:
  // What the central directory records about an entry.
  struct Attributes {
    ZipEntryKind kind = ZipEntryKind::kOther;
    unsigned mode = 0;  // permission bits; 0 when none were recorded
  };
  static std::map<std::string, Attributes> ReadCentralDirectory(const void* data, size_t size);

  archive* archive_;
  bool failed_ = false;
  std::map<std::string, Attributes> attributes_;
  std::vector<char> buffer_;
};
