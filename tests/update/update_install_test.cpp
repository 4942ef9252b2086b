#include "update/update_install.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"
#include "tests/update/update_test_folder.h"
#include "tests/update/update_zip_builder.h"

namespace {

// The cases the end-to-end test does not cover. Every case installs into "prog/" inside a fresh
// temporary folder, so a file written beside the program folder shows up in the folder's listing.
constexpr char kProgram[] = "prog/";

struct InstallCase {
  const char* fault;
  std::vector<TestFile> before;  // paths relative to the temporary folder
  QByteArray (*archive)();
  InstallResult result;
  QStringList shown;
  std::map<std::string, std::string> after;  // every file in the temporary folder afterwards
  std::map<std::string, unsigned> modes;     // permission bits of some of them
};

// gtest names a failing case by the fault it catches.
void PrintTo(const InstallCase& c, std::ostream* os) { *os << c.fault; }

class InstallArchiveTest : public testing::TestWithParam<InstallCase> {};

TEST_P(InstallArchiveTest, InstallsEntriesInOrder) {
  const InstallCase& c = GetParam();
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  ASSERT_TRUE(QDir(temp.path()).mkpath(kProgram));
  ASSERT_TRUE(PlaceFiles(temp.path(), c.before));
  ScriptedPrompts prompts;

  EXPECT_EQ(InstallArchive(c.archive(), temp.filePath(kProgram), prompts), c.result) << c.fault;
  EXPECT_EQ(prompts.shown, c.shown) << c.fault;
  EXPECT_EQ(FilesUnder(temp.path()), c.after) << c.fault;
  for (const auto& [path, mode] : c.modes) {
    EXPECT_EQ(ModeOf(temp.filePath(QString::fromStdString(path))), mode) << c.fault << ": " << path;
  }
}

QByteArray CutInSecond() {
  const QByteArray zip =
      BuildZip({{"a.txt", "new a"}, {"b.txt", "new b content"}, {"c.txt", "new c"}}, true);
  return zip.left(zip.indexOf("new b content") + 5);
}

QByteArray ZipSlip() {
  return BuildZip({{"../outside.txt", "evil"},
                   {"/tmp/kestrolan-absolute.txt", "evil"},
                   {"a.txt", "new a"},
                   {"lang/../../outside2.txt", "evil"}});
}

QByteArray WithLink() {
  return BuildZip(
      {{"link", "../outside.txt", 0777, TestEntryType::kSymbolicLink}, {"a.txt", "new a"}});
}

QByteArray WithFolder() {
  return BuildZip({{"lang/", "", 0755, TestEntryType::kDirectory}, {"lang/en.txt", "english"}});
}

QByteArray Modes() {
  return BuildZip({{"exe", "new exe", 0644}, {"open", "o", 0777}, {"private", "p", 0600}});
}

QByteArray OntoFolder() { return BuildZip({{"data", "file"}, {"a.txt", "new a"}}); }

QByteArray NoEntries() { return BuildZip({}); }

const TestFile kOldB{"prog/b.txt", "old b"};

INSTANTIATE_TEST_SUITE_P(
    Table, InstallArchiveTest,
    testing::Values(InstallCase{"a cut archive taken as success, or the file left half-written",
                                {kOldB},
                                CutInSecond,
                                InstallResult::kFailed,
                                {"info: Error creating file : b.txt"},
                                {{"prog/a.txt", "new a"}, {"prog/b.txt", "old b"}},
                                {}},
                    InstallCase{"an entry written outside the program folder",
                                {},
                                ZipSlip,
                                InstallResult::kFailed,
                                {"info: Error creating file : ../outside.txt",
                                 "info: Error creating file : /tmp/kestrolan-absolute.txt",
                                 "info: Error creating file : lang/../../outside2.txt"},
                                {{"prog/a.txt", "new a"}},
                                {}},
                    InstallCase{"a symbolic link installed",
                                {},
                                WithLink,
                                InstallResult::kFailed,
                                {"info: Error creating file : link"},
                                {{"prog/a.txt", "new a"}},
                                {}},
                    InstallCase{"a folder entry created or taken as success",
                                {},
                                WithFolder,
                                InstallResult::kFailed,
                                {"info: Error creating file : lang/",
                                 "info: Error creating file : lang/en.txt"},
                                {},
                                {}},
                    InstallCase{"permission bits not kept, or taken over from the archive",
                                {{"prog/exe", "old exe", 0750}},
                                Modes,
                                InstallResult::kInstalled,
                                {},
                                {{"prog/exe", "new exe"},
                                 {"prog/exe.OLD", "old exe"},
                                 {"prog/open", "o"},
                                 {"prog/private", "p"}},
                                {{"prog/exe", 0750}, {"prog/open", 0755}, {"prog/private", 0600}}},
                    InstallCase{"a folder in the way moved aside",
                                {{"prog/data/keep.txt", "keep"}},
                                OntoFolder,
                                InstallResult::kFailed,
                                {"info: Error creating file : data"},
                                {{"prog/a.txt", "new a"}, {"prog/data/keep.txt", "keep"}},
                                {}},
                    InstallCase{"an archive without entries taken as installed",
                                {{"prog/a.txt", "old a"}},
                                NoEntries,
                                InstallResult::kNotAnArchive,
                                {},
                                {{"prog/a.txt", "old a"}},
                                {}}));

}  // namespace
