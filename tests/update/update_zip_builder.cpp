#include "tests/update/update_zip_builder.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

la_ssize_t AppendToBuffer(archive*, void* buffer, const void* data, size_t size) {
  static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data),
                                           static_cast<qsizetype>(size));
  return static_cast<la_ssize_t>(size);
}

// Header signatures and field offsets of the ZIP format.
constexpr char kLocalHeader[] = "PK\x03\x04";
constexpr char kDirectoryRecord[] = "PK\x01\x02";
constexpr char kEndRecord[] = "PK\x05\x06";
constexpr int kEndDiskCount = 8;
constexpr int kEndCount = 10;
constexpr int kEndDirectorySize = 12;
constexpr int kLocalVersionNeeded = 4;
constexpr int kRecordMadeBy = 4;
constexpr int kRecordVersionNeeded = 6;
constexpr int kRecordNameLength = 28;
constexpr int kRecordExternalAttributes = 38;
constexpr int kRecordName = 46;
constexpr char kSystemMsDos = 0;
constexpr char kSystemUnix = 3;
constexpr char kDosArchiveAttribute = 0x20;
constexpr unsigned kDefaultPermissions = 0644;

void PutLittleEndian(QByteArray& bytes, qsizetype at, unsigned value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

unsigned GetLittleEndian(const QByteArray& bytes, qsizetype at, int size) {
  unsigned value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The offsets of every header starting with `signature`, in archive order.
std::vector<qsizetype> HeadersOf(const QByteArray& zip, const char* signature) {
  std::vector<qsizetype> found;
  for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 1)) {
    found.push_back(at);
  }
  return found;
}

// The offset of the central directory record of `name`.
qsizetype RecordOf(const QByteArray& zip, const std::string& name) {
  for (const qsizetype at : HeadersOf(zip, kDirectoryRecord)) {
    const auto length = static_cast<qsizetype>(GetLittleEndian(zip, at + kRecordNameLength, 2));
    if (zip.mid(at + kRecordName, length).toStdString() == name) return at;
  }
  throw std::runtime_error("no central directory record for " + name);
}

void Check(int result, archive* writer) {
  if (result != ARCHIVE_OK) throw std::runtime_error(archive_error_string(writer));
}

mode_t FileTypeOf(TestEntryType type) {
  switch (type) {
    case TestEntryType::kDirectory:
      return AE_IFDIR;
    case TestEntryType::kSymbolicLink:
      return AE_IFLNK;
    case TestEntryType::kFile:
      break;
  }
  return AE_IFREG;
}

}  // namespace

QByteArray BuildZip(const std::vector<TestZipEntry>& entries, bool stored) {
  QByteArray zip;
  const std::unique_ptr<archive, int (*)(archive*)> writer(archive_write_new(), archive_write_free);
  archive* a = writer.get();
  Check(archive_write_set_format_zip(a), a);
  Check(archive_write_set_options(a, stored ? "zip:compression=store" : "zip:compression=deflate"),
        a);
  // No padding after the end record: the archive ends where the format says.
  Check(archive_write_set_bytes_in_last_block(a, 1), a);
  Check(archive_write_open(a, &zip, nullptr, AppendToBuffer, nullptr), a);
  for (const TestZipEntry& spec : entries) {
    const std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                         archive_entry_free);
    archive_entry_set_pathname(entry.get(), spec.path.c_str());
    archive_entry_set_filetype(entry.get(), FileTypeOf(spec.type));
    archive_entry_set_perm(entry.get(), spec.mode);
    const bool hasData = spec.type == TestEntryType::kFile;
    if (spec.type == TestEntryType::kSymbolicLink) {
      archive_entry_set_symlink(entry.get(), spec.content.c_str());
    }
    archive_entry_set_size(entry.get(), hasData ? static_cast<la_int64_t>(spec.content.size()) : 0);
    Check(archive_write_header(a, entry.get()), a);
    if (hasData && !spec.content.empty() &&
        archive_write_data(a, spec.content.data(), spec.content.size()) !=
            static_cast<la_ssize_t>(spec.content.size())) {
      throw std::runtime_error(archive_error_string(a));
    }
  }
  Check(archive_write_close(a), a);
  return zip;
}

QByteArray FlipContentByte(QByteArray zip, const std::string& content) {
  const qsizetype at = zip.indexOf(QByteArray::fromStdString(content));
  if (at < 0) throw std::runtime_error("content not stored in the archive: " + content);
  zip[at] = static_cast<char>(zip[at] ^ 0x01);
  return zip;
}

QByteArray DamageLocalHeader(QByteArray zip, int index) {
  const std::vector<qsizetype> headers = HeadersOf(zip, kLocalHeader);
  if (index >= static_cast<int>(headers.size())) throw std::runtime_error("no such local header");
  zip[headers[index] + 2] = 'X';
  return zip;
}

QByteArray WithUnixFileType(QByteArray zip, const std::string& name, unsigned unixType) {
  const qsizetype at = RecordOf(zip, name);
  zip[at + kRecordMadeBy + 1] = kSystemUnix;
  PutLittleEndian(zip, at + kRecordExternalAttributes, (unixType | kDefaultPermissions) << 16, 4);
  return zip;
}

QByteArray WithoutUnixModes(QByteArray zip) {
  for (const qsizetype at : HeadersOf(zip, kDirectoryRecord)) {
    zip[at + kRecordMadeBy + 1] = kSystemMsDos;
    PutLittleEndian(zip, at + kRecordExternalAttributes, kDosArchiveAttribute, 4);
  }
  return zip;
}

QByteArray WithVersionNeeded(QByteArray zip, int version) {
  for (const qsizetype at : HeadersOf(zip, kLocalHeader)) {
    PutLittleEndian(zip, at + kLocalVersionNeeded, static_cast<unsigned>(version), 2);
  }
  for (const qsizetype at : HeadersOf(zip, kDirectoryRecord)) {
    PutLittleEndian(zip, at + kRecordVersionNeeded, static_cast<unsigned>(version), 2);
  }
  return zip;
}

QByteArray WithDirectoryName(QByteArray zip, const std::string& name, const std::string& newName) {
  const qsizetype at = RecordOf(zip, name);
  zip.replace(at + kRecordName, static_cast<qsizetype>(name.size()),
              QByteArray::fromStdString(newName));
  PutLittleEndian(zip, at + kRecordNameLength, static_cast<unsigned>(newName.size()), 2);
  const qsizetype end = zip.lastIndexOf(kEndRecord);
  const unsigned size = GetLittleEndian(zip, end + kEndDirectorySize, 4);
  PutLittleEndian(zip, end + kEndDirectorySize,
                  static_cast<unsigned>(size + newName.size() - name.size()), 4);
  return zip;
}

QByteArray WithEntryCount(QByteArray zip, unsigned count) {
  const qsizetype end = zip.lastIndexOf(kEndRecord);
  PutLittleEndian(zip, end + kEndDiskCount, count, 2);
  PutLittleEndian(zip, end + kEndCount, count, 2);
  return zip;
}
