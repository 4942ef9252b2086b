#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace update {

enum class ZipEntryKind { kFile, kDirectory, kSymbolicLink, kOther };

// What the central directory of a ZIP archive records about one entry.
struct ZipDirectoryEntry {
  std::string name;  // the stored path, every byte as stored, a NUL byte included
  ZipEntryKind kind = ZipEntryKind::kOther;
  // The permission bits (within 0777) the archiver recorded, or 0 when it recorded no Unix mode
  // (as DOS and Windows tools do).
  unsigned mode = 0;
};

// Reads the central directory of the ZIP archive `data`: the end record (behind which only its
// comment may follow), the ZIP64 end record when the end record defers to it, then every record
// in order. The kind comes from the Unix file type when the archiver was a Unix one (a FIFO or a
// device is kOther), else from the DOS folder attribute; a name ending in "/" is a folder either
// way. nullopt when there is no well-formed central directory: no end record, an archive spread
// over several disks, a record outside the directory or without its signature, or a count of
// records that disagrees with the directory's size.
std::optional<std::vector<ZipDirectoryEntry>> ReadZipDirectory(std::string_view data);

// True when a local header that stores exactly `name` starts at `offset` of the archive `data`.
bool LocalHeaderNames(std::string_view data, long long offset, std::string_view name);

}  // namespace update
