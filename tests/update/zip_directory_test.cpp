// What the central directory says of each entry: kind and permission bits, from the archiver's
// Unix mode where it recorded one and from the name otherwise.
#include "update/zip_directory.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <ostream>
#include <string>
#include <vector>

#include "tests/update/update_zip_builder.h"

using namespace update;

namespace {

struct DirectoryCase {
  const char* fault;
  QByteArray (*archive)();
  std::vector<ZipDirectoryEntry> entries;
};

void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << c.fault; }

class ReadZipDirectoryTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(ReadZipDirectoryTest, DescribesEveryRecord) {
  const DirectoryCase& c = GetParam();
  const QByteArray zip = c.archive();
  const auto read = ReadZipDirectory(std::string_view(zip.constData(), size_t(zip.size())));
  ASSERT_TRUE(read.has_value()) << c.fault;
  ASSERT_EQ(read->size(), c.entries.size()) << c.fault;
  for (size_t i = 0; i < c.entries.size(); ++i) {
    EXPECT_EQ((*read)[i].name, c.entries[i].name) << c.fault;
    EXPECT_EQ((*read)[i].kind, c.entries[i].kind) << c.fault << ": " << c.entries[i].name;
    EXPECT_EQ((*read)[i].mode, c.entries[i].mode) << c.fault << ": " << c.entries[i].name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadZipDirectoryTest,
    testing::Values(
        DirectoryCase{
            "a folder's name without a Unix mode taken for a file",
            [] {
              return WithoutUnixModes(BuildZip(
                  {{"lang/", "", 0755, TestEntryType::kDirectory}, {"lang/en.txt", "english"}}));
            },
            {{"lang/", ZipEntryKind::kDirectory, 0}, {"lang/en.txt", ZipEntryKind::kFile, 0}}},
        DirectoryCase{
            "a Unix mode's type or permission bits misread",
            [] {
              return BuildZip(
                  {{"run", "#!", 0750}, {"link", "target", 0777, TestEntryType::kSymbolicLink}});
            },
            {{"run", ZipEntryKind::kFile, 0750}, {"link", ZipEntryKind::kSymbolicLink, 0777}}}));

}  // namespace
