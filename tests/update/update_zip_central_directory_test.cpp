#include <gtest/gtest.h>

#include <QByteArray>
#include <map>
#include <ostream>
#include <string>

#include "tests/update/update_zip_builder.h"
#include "update/zip_central_directory.h"

namespace {

// Offsets in the records of the ZIP format (APPNOTE 4.3.12 and 4.3.16).
constexpr char kEndSignature[] = "PK\x05\x06";
constexpr char kRecordSignature[] = "PK\x01\x02";
constexpr int kEndDirectoryOffsetOffset = 16;
constexpr int kRecordNameLengthOffset = 28;

QByteArray Sample() {
  return BuildZip({{"a.txt", "a", 0640},
                   {"bin/", "", 0755, TestEntryType::kDirectory},
                   {"link", "a.txt", 0777, TestEntryType::kSymbolicLink}});
}

QByteArray SetU16(QByteArray zip, qsizetype at, unsigned value) {
  zip[at] = static_cast<char>(value & 0xFF);
  zip[at + 1] = static_cast<char>(value >> 8);
  return zip;
}

QByteArray Intact() { return Sample(); }
QByteArray EndCut() { return Sample().chopped(1); }
QByteArray OffsetPastEnd() {
  QByteArray zip = Sample();
  const qsizetype end = zip.lastIndexOf(kEndSignature);
  return SetU16(SetU16(zip, end + kEndDirectoryOffsetOffset, 0xFFF0),
                end + kEndDirectoryOffsetOffset + 2, 0x0FFF);
}
QByteArray RecordSignatureDamaged() {
  QByteArray zip = Sample();
  zip[zip.indexOf(kRecordSignature) + 3] = '\x03';
  return zip;
}
QByteArray NamePastDirectory() {
  QByteArray zip = Sample();
  return SetU16(zip, zip.indexOf(kRecordSignature) + kRecordNameLengthOffset, 0xFFFF);
}
QByteArray NotZip() { return "no archive here, just text that is long enough to search"; }
QByteArray Tiny() { return "PK"; }

// Each entry as "dir", "link" or "file", then its mode or "-" when none was recorded.
std::map<std::string, std::string> Describe(const QByteArray& zip) {
  std::map<std::string, std::string> described;
  for (const auto& [path, a] : ReadZipCentralDirectory(zip.constData(), zip.size())) {
    const char* type = a.isSymbolicLink ? "link" : a.isDirectory ? "dir" : "file";
    described[path] =
        std::string(type) + " " + (a.hasMode ? QByteArray::number(a.mode, 8).toStdString() : "-");
  }
  return described;
}

struct DirectoryCase {
  const char* fault;
  QByteArray (*zip)();
  std::map<std::string, std::string> entries;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << c.fault; }

class CentralDirectoryTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(CentralDirectoryTest, ReadsTypesAndModes) {
  EXPECT_EQ(Describe(GetParam().zip()), GetParam().entries) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CentralDirectoryTest,
    testing::Values(
        DirectoryCase{"types or modes misread",
                      Intact,
                      {{"a.txt", "file 640"}, {"bin/", "dir 755"}, {"link", "link 777"}}},
        DirectoryCase{"a record read without its end record", EndCut, {}},
        DirectoryCase{"a directory offset past the archive followed", OffsetPastEnd, {}},
        DirectoryCase{"a record with a damaged signature read", RecordSignatureDamaged, {}},
        DirectoryCase{"a name read past the directory", NamePastDirectory, {}},
        DirectoryCase{"text taken for an archive", NotZip, {}},
        DirectoryCase{"a body shorter than the end record read", Tiny, {}}));

}  // namespace
