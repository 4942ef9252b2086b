#include "update/zip_central_directory.h"

#include <cstdint>

namespace {

// Record layouts of the ZIP format (APPNOTE 4.3.12 and 4.3.16).
constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kMaxCommentSize = 0xFFFF;
constexpr size_t kEndEntryCountOffset = 10;
constexpr size_t kEndDirectorySizeOffset = 12;
constexpr size_t kEndDirectoryOffsetOffset = 16;
constexpr uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr uint16_t kZip64Marker16 = 0xFFFF;

constexpr uint32_t kDirectoryRecordSignature = 0x02014b50;
constexpr size_t kDirectoryRecordSize = 46;
constexpr size_t kMadeByHostOffset = 5;  // high byte of "version made by"
constexpr size_t kNameLengthOffset = 28;
constexpr size_t kExtraLengthOffset = 30;
constexpr size_t kCommentLengthOffset = 32;
constexpr size_t kExternalAttributesOffset = 38;

constexpr uint8_t kHostUnix = 3;
constexpr uint32_t kDosDirectoryAttribute = 0x10;
// A Unix mode sits in the high 16 bits of the external attributes.
constexpr unsigned kUnixModeShift = 16;
constexpr unsigned kFileTypeMask = 0170000;
constexpr unsigned kTypeDirectory = 0040000;
constexpr unsigned kTypeSymbolicLink = 0120000;
constexpr unsigned kModeBits = 07777;

class Bytes {
 public:
  Bytes(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

  size_t size() const { return size_; }
  bool Has(size_t offset, size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Little-endian values; the caller checks Has() first.
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8); }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
  uint8_t U8(size_t at) const { return data_[at]; }
  std::string Text(size_t at, size_t length) const {
    return std::string(reinterpret_cast<const char*>(data_ + at), length);
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

// The offset of the end-of-central-directory record, searched backwards over the longest
// comment the record allows; size() when there is none.
size_t FindEndOfDirectory(const Bytes& bytes) {
  if (bytes.size() < kEndOfDirectorySize) return bytes.size();
  const size_t last = bytes.size() - kEndOfDirectorySize;
  const size_t first = last > kMaxCommentSize ? last - kMaxCommentSize : 0;
  for (size_t at = last + 1; at-- > first;) {
    if (bytes.U32(at) == kEndOfDirectorySignature) return at;
  }
  return bytes.size();
}

ZipEntryAttributes AttributesOf(uint8_t host, uint32_t external) {
  ZipEntryAttributes attributes;
  attributes.isDirectory = (external & kDosDirectoryAttribute) != 0;
  if (host != kHostUnix) return attributes;
  const unsigned unixMode = external >> kUnixModeShift;
  if (unixMode == 0) return attributes;
  attributes.hasMode = true;
  attributes.mode = unixMode & kModeBits;
  attributes.isDirectory = attributes.isDirectory || (unixMode & kFileTypeMask) == kTypeDirectory;
  attributes.isSymbolicLink = (unixMode & kFileTypeMask) == kTypeSymbolicLink;
  return attributes;
}

}  // namespace

std::map<std::string, ZipEntryAttributes> ReadZipCentralDirectory(const void* data, size_t size) {
  std::map<std::string, ZipEntryAttributes> entries;
  const Bytes bytes(data, size);
  const size_t end = FindEndOfDirectory(bytes);
  if (end == bytes.size()) return entries;
  const uint16_t count = bytes.U16(end + kEndEntryCountOffset);
  const uint32_t directorySize = bytes.U32(end + kEndDirectorySizeOffset);
  const uint32_t directoryOffset = bytes.U32(end + kEndDirectoryOffsetOffset);
  if (count == kZip64Marker16 || directorySize == kZip64Marker32 ||
      directoryOffset == kZip64Marker32 || !bytes.Has(directoryOffset, directorySize)) {
    return entries;
  }
  std::map<std::string, ZipEntryAttributes> found;
  size_t at = directoryOffset;
  const size_t directoryEnd = size_t{directoryOffset} + directorySize;
  for (uint16_t i = 0; i < count; ++i) {
    if (at > directoryEnd || !bytes.Has(at, kDirectoryRecordSize) ||
        bytes.U32(at) != kDirectoryRecordSignature) {
      return entries;
    }
    const size_t nameLength = bytes.U16(at + kNameLengthOffset);
    const size_t recordSize = kDirectoryRecordSize + nameLength +
                              bytes.U16(at + kExtraLengthOffset) +
                              bytes.U16(at + kCommentLengthOffset);
    if (!bytes.Has(at, recordSize) || at + recordSize > directoryEnd) return entries;
    found.emplace(
        bytes.Text(at + kDirectoryRecordSize, nameLength),
        AttributesOf(bytes.U8(at + kMadeByHostOffset), bytes.U32(at + kExternalAttributesOffset)));
    at += recordSize;
  }
  return found;
}
