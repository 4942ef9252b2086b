#include "update/zip_directory.h"

#include <algorithm>
#include <cstdint>

namespace update {

namespace {

// Record layouts of the ZIP format (APPNOTE 4.3): signatures, fixed sizes and field offsets.
constexpr std::string_view kEndSignature = "PK\x05\x06";
constexpr size_t kEndSize = 22;
constexpr size_t kEndDisk = 4;
constexpr size_t kEndDirectoryDisk = 6;
constexpr size_t kEndCount = 10;
constexpr size_t kEndDirectorySize = 12;
constexpr size_t kEndDirectoryOffset = 16;
constexpr size_t kEndCommentLength = 20;
constexpr size_t kMaxCommentLength = 0xFFFF;

constexpr std::string_view kZip64LocatorSignature = "PK\x06\x07";
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64LocatorEndOffset = 8;
constexpr std::string_view kZip64EndSignature = "PK\x06\x06";
constexpr size_t kZip64EndSize = 56;
constexpr size_t kZip64EndDisk = 16;
constexpr size_t kZip64EndDirectoryDisk = 20;
constexpr size_t kZip64EndCount = 32;
constexpr size_t kZip64EndDirectorySize = 40;
constexpr size_t kZip64EndDirectoryOffset = 48;
// A field of the end record holding this value defers to the ZIP64 end record.
constexpr uint64_t kCountDeferred = 0xFFFF;
constexpr uint64_t kSizeDeferred = 0xFFFFFFFF;

constexpr std::string_view kLocalSignature = "PK\x03\x04";
constexpr size_t kLocalFixedSize = 30;  // the name follows the fixed part
constexpr size_t kLocalNameLength = 26;

constexpr std::string_view kRecordSignature = "PK\x01\x02";
constexpr size_t kRecordSize = 46;
constexpr size_t kRecordSystem = 5;  // the high byte of "version made by"
constexpr size_t kRecordNameLength = 28;
constexpr size_t kRecordExtraLength = 30;
constexpr size_t kRecordCommentLength = 32;
constexpr size_t kRecordExternalAttributes = 38;

constexpr unsigned kSystemUnix = 3;
// A Unix archiver keeps st_mode in the high half of the external attributes.
constexpr unsigned kUnixModeShift = 16;
constexpr unsigned kUnixTypeMask = 0170000;
constexpr unsigned kUnixRegular = 0100000;
constexpr unsigned kUnixDirectory = 0040000;
constexpr unsigned kUnixSymbolicLink = 0120000;
constexpr unsigned kPermissionBits = 0777;
constexpr unsigned kDosDirectoryAttribute = 0x10;

uint64_t LittleEndian(std::string_view data, size_t at, size_t bytes) {
  uint64_t value = 0;
  for (size_t i = bytes; i > 0; --i) {
    value = value << 8 | static_cast<unsigned char>(data[at + i - 1]);
  }
  return value;
}

bool HasRecord(std::string_view data, uint64_t at, std::string_view signature, size_t size) {
  return at <= data.size() && data.size() - at >= size &&
         data.substr(at, signature.size()) == signature;
}

// Where the central directory is and how many records it holds.
struct DirectoryPlace {
  uint64_t offset = 0;
  uint64_t size = 0;
  uint64_t count = 0;
};

std::optional<DirectoryPlace> FindZip64Directory(std::string_view data, size_t endAt) {
  if (endAt < kZip64LocatorSize) return std::nullopt;
  const size_t locatorAt = endAt - kZip64LocatorSize;
  if (!HasRecord(data, locatorAt, kZip64LocatorSignature, kZip64LocatorSize)) return std::nullopt;
  const uint64_t at = LittleEndian(data, locatorAt + kZip64LocatorEndOffset, 8);
  if (!HasRecord(data, at, kZip64EndSignature, kZip64EndSize)) return std::nullopt;
  if (LittleEndian(data, at + kZip64EndDisk, 4) != 0 ||
      LittleEndian(data, at + kZip64EndDirectoryDisk, 4) != 0) {
    return std::nullopt;
  }
  return DirectoryPlace{LittleEndian(data, at + kZip64EndDirectoryOffset, 8),
                        LittleEndian(data, at + kZip64EndDirectorySize, 8),
                        LittleEndian(data, at + kZip64EndCount, 8)};
}

std::optional<DirectoryPlace> FindDirectory(std::string_view data) {
  if (data.size() < kEndSize) return std::nullopt;
  // The end record is the last thing in the archive but for its comment.
  const size_t lowest =
      data.size() - kEndSize - std::min(data.size() - kEndSize, kMaxCommentLength);
  for (size_t at = data.size() - kEndSize + 1; at-- > lowest;) {
    if (data.substr(at, kEndSignature.size()) != kEndSignature) continue;
    if (at + kEndSize + LittleEndian(data, at + kEndCommentLength, 2) != data.size()) continue;
    if (LittleEndian(data, at + kEndDisk, 2) != 0 ||
        LittleEndian(data, at + kEndDirectoryDisk, 2) != 0) {
      return std::nullopt;
    }
    const DirectoryPlace place{LittleEndian(data, at + kEndDirectoryOffset, 4),
                               LittleEndian(data, at + kEndDirectorySize, 4),
                               LittleEndian(data, at + kEndCount, 2)};
    if (place.count == kCountDeferred || place.size == kSizeDeferred ||
        place.offset == kSizeDeferred) {
      return FindZip64Directory(data, at);
    }
    return place;
  }
  return std::nullopt;
}

ZipDirectoryEntry Describe(std::string name, unsigned system, uint64_t attributes) {
  ZipDirectoryEntry entry;
  entry.name = std::move(name);
  const unsigned unixMode = static_cast<unsigned>(attributes >> kUnixModeShift);
  if (system == kSystemUnix && unixMode != 0) {
    entry.mode = unixMode & kPermissionBits;
    switch (unixMode & kUnixTypeMask) {
      case 0:  // permission bits without a type: a plain file
      case kUnixRegular:
        entry.kind = ZipEntryKind::kFile;
        break;
      case kUnixDirectory:
        entry.kind = ZipEntryKind::kDirectory;
        break;
      case kUnixSymbolicLink:
        entry.kind = ZipEntryKind::kSymbolicLink;
        break;
      default:
        entry.kind = ZipEntryKind::kOther;
        break;
    }
  } else {
    entry.kind =
        (attributes & kDosDirectoryAttribute) != 0 ? ZipEntryKind::kDirectory : ZipEntryKind::kFile;
  }
  if (!entry.name.empty() && entry.name.back() == '/') entry.kind = ZipEntryKind::kDirectory;
  return entry;
}

}  // namespace

std::optional<std::vector<ZipDirectoryEntry>> ReadZipDirectory(std::string_view data) {
  const std::optional<DirectoryPlace> place = FindDirectory(data);
  if (!place || place->offset > data.size() || place->size > data.size() - place->offset) {
    return std::nullopt;
  }
  const std::string_view directory = data.substr(place->offset, place->size);
  std::vector<ZipDirectoryEntry> entries;
  entries.reserve(std::min<uint64_t>(place->count, directory.size() / kRecordSize));
  size_t at = 0;
  for (uint64_t i = 0; i < place->count; ++i) {
    if (!HasRecord(directory, at, kRecordSignature, kRecordSize)) return std::nullopt;
    const size_t nameLength = LittleEndian(directory, at + kRecordNameLength, 2);
    const size_t recordSize = kRecordSize + nameLength +
                              LittleEndian(directory, at + kRecordExtraLength, 2) +
                              LittleEndian(directory, at + kRecordCommentLength, 2);
    if (directory.size() - at < recordSize) return std::nullopt;
    entries.push_back(Describe(std::string(directory.substr(at + kRecordSize, nameLength)),
                               static_cast<unsigned char>(directory[at + kRecordSystem]),
                               LittleEndian(directory, at + kRecordExternalAttributes, 4)));
    at += recordSize;
  }
  if (at != directory.size()) return std::nullopt;
  return entries;
}

bool LocalHeaderNames(std::string_view data, long long offset, std::string_view name) {
  if (offset < 0) return false;
  const auto at = static_cast<uint64_t>(offset);
  if (!HasRecord(data, at, kLocalSignature, kLocalFixedSize)) return false;
  const uint64_t length = LittleEndian(data, at + kLocalNameLength, 2);
  return data.size() - at - kLocalFixedSize >= length &&
         data.substr(at + kLocalFixedSize, length) == name;
}

}  // namespace update
