#include "tests/update/update_zip_builder.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <stdexcept>

namespace {

la_ssize_t AppendToBuffer(archive*, void* buffer, const void* data, size_t size) {
  static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data),
                                           static_cast<qsizetype>(size));
  return static_cast<la_ssize_t>(size);
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
