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
#include "tests/update/test_release_key.h"
#include "tests/update/update_test_folder.h"
#include "tests/update/update_zip_builder.h"

using namespace update;

namespace {

// The cases the end-to-end test does not cover. Every case installs into "prog/" inside a fresh
// temporary folder, so a file written beside the program folder shows up in the folder's listing.
constexpr char kProgram[] = "prog/";
constexpr qint64 kNoBound = qint64(1) << 40;
constexpr qint64 kSmallBound = 1000;
constexpr qint64 kMiB = qint64(1) << 20;
constexpr unsigned kFifoType = 010000;
constexpr unsigned kCharacterDeviceType = 020000;

struct InstallCase {
  const char* fault;
  std::vector<TestFile> before;  // paths relative to the temporary folder
  QByteArray (*archive)();
  InstallResult result;
  QStringList shown;
  std::map<std::string, std::string> after;  // every file in the temporary folder afterwards
  std::map<std::string, unsigned> modes;     // permission bits of some of them
  std::vector<TestLink> links = {};          // made after the files
  qint64 maxWrittenBytes = kNoBound;
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
  ASSERT_TRUE(PlaceLinks(temp.path(), c.links));
  ScriptedPrompts prompts;
  const QByteArray archive = c.archive();
  const TestReleaseKey key;

  EXPECT_EQ(InstallArchive(archive, key.Sign(archive), key.publicKey(), temp.filePath(kProgram),
                           prompts, c.maxWrittenBytes),
            c.result)
      << c.fault;
  EXPECT_EQ(prompts.shown, c.shown) << c.fault;
  EXPECT_EQ(FilesUnder(temp.path()), c.after) << c.fault;
  for (const auto& [path, mode] : c.modes) {
    EXPECT_EQ(ModeOf(temp.filePath(QString::fromStdString(path))), mode) << c.fault << ": " << path;
  }
}

QByteArray CutInSecondHeader() {
  const QByteArray zip =
      BuildZip({{"a.txt", "new a"}, {"b.txt", "new b content"}, {"c.txt", "new c"}}, true);
  return zip.left(zip.indexOf("b.txt") - 4);
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

QByteArray ProgramWithBadCrc() {
  return FlipContentByte(BuildZip({{"Kestrolan", "new program"}}, true), "new program");
}

QByteArray NewA() { return BuildZip({{"a.txt", "new a"}}); }

QByteArray TwiceTheSameName() { return BuildZip({{"a.txt", "first"}, {"a.txt", "second"}}); }

QByteArray SecondLocalHeaderDamaged() {
  return DamageLocalHeader(
      BuildZip({{"a.txt", "new a"}, {"b.txt", "new b"}, {"c.txt", "new c"}}, true), 1);
}

const QByteArray kNulName("Kestrolan\0.txt", 14);

QByteArray NameWithNul() {
  return BuildZip({{"a.txt", "new a"}, {"KestrolanX.txt", "new program"}})
      .replace("KestrolanX.txt", kNulName);
}

QByteArray FifoAndDevice() {
  return WithUnixFileType(
      WithUnixFileType(BuildZip({{"fifo", ""}, {"device", ""}, {"a.txt", "new a"}}), "fifo",
                       kFifoType),
      "device", kCharacterDeviceType);
}

QByteArray IntoLinkedFolder() { return BuildZip({{"lang/en.txt", "english"}}); }

QByteArray PastTheBoundInThirdEntry() {
  return BuildZip({{"n.txt", std::string(300, 'n')},
                   {"a.txt", std::string(600, 'a')},
                   {"b.txt", std::string(600, 'b')}});
}

QByteArray PastTheBoundAfterABackupName() {
  return BuildZip({{"a.txt", "new a"}, {"a.txt.OLD", "x"}, {"b.txt", std::string(2000, 'b')}});
}

QByteArray ExactlyTheBound() { return BuildZip({{"a.txt", std::string(kSmallBound, 'a')}}); }

QByteArray IntoLinkDeeperDown() { return BuildZip({{"lang/sub/en.txt", "english"}}); }

QByteArray TwiceWithAnEmptyComponent() {
  return BuildZip({{"sub/a.txt", "first"}, {"sub//a.txt", "second"}});
}

QByteArray LocalNameAPrefixOfTheDirectorys() {
  return WithDirectoryName(BuildZip({{"a.txt", "new a"}}), "a.txt", "a.txtX");
}

QByteArray CountsFewerThanTheDirectoryHolds() {
  return WithEntryCount(BuildZip({{"a.txt", "new a"}, {"b.txt", "new b"}}), 1);
}

QByteArray Bomb() { return BuildZip({{"bomb", std::string(2 * kMiB, '\0')}}); }

QByteArray DosMade() { return WithoutUnixModes(BuildZip({{"dos.txt", "from DOS"}})); }

QByteArray NeedsVersion63() { return WithVersionNeeded(BuildZip({{"a.txt", "new a"}}, true), 63); }

const TestFile kOldB{"prog/b.txt", "old b"};
const TestFile kOldA{"prog/a.txt", "old a"};
const TestFile kOldProgram{"prog/Kestrolan", "old program", 0755};
const TestFile kUndeletableProgramBackup{"prog/Kestrolan.OLD/x", "x"};

INSTANTIATE_TEST_SUITE_P(
    Table, InstallArchiveTest,
    testing::Values(
        InstallCase{"a cut archive installed in part, or reported without a name",
                    {kOldB},
                    CutInSecondHeader,
                    InstallResult::kNotAnArchive,
                    {},
                    {{"prog/b.txt", "old b"}},
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
        InstallCase{
            "a folder entry created or taken as success",
            {},
            WithFolder,
            InstallResult::kFailed,
            {"info: Error creating file : lang/", "info: Error creating file : lang/en.txt"},
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
                    {}},
        InstallCase{"the program lost when its backup cannot be made and the new copy is bad",
                    {kOldProgram, kUndeletableProgramBackup},
                    ProgramWithBadCrc,
                    InstallResult::kFailed,
                    {"info: Error creating file : Kestrolan"},
                    {{"prog/Kestrolan", "old program"}, {"prog/Kestrolan.OLD/x", "x"}},
                    {{"prog/Kestrolan", 0755}}},
        InstallCase{"a file written in place, through its hard link, when no backup can be made",
                    {{"outside.txt", "shared"}, {"prog/a.txt.OLD/x", "x"}},
                    NewA,
                    InstallResult::kInstalled,
                    {},
                    {{"outside.txt", "shared"}, {"prog/a.txt", "new a"}, {"prog/a.txt.OLD/x", "x"}},
                    {},
                    {{"prog/a.txt", "outside.txt", true}}},
        InstallCase{"a second copy of a name taking the place of the backup",
                    {kOldA},
                    TwiceTheSameName,
                    InstallResult::kFailed,
                    {"info: Error creating file : a.txt"},
                    {{"prog/a.txt", "first"}, {"prog/a.txt.OLD", "old a"}},
                    {}},
        InstallCase{"an entry behind a damaged local header dropped without a word",
                    {},
                    SecondLocalHeaderDamaged,
                    InstallResult::kFailed,
                    {"info: Error creating file : b.txt"},
                    {{"prog/a.txt", "new a"}},
                    {}},
        InstallCase{"a name cut at its NUL byte replacing another file",
                    {kOldProgram},
                    NameWithNul,
                    InstallResult::kFailed,
                    {"info: Error creating file : " + QString::fromUtf8(kNulName)},
                    {{"prog/Kestrolan", "old program"}, {"prog/a.txt", "new a"}},
                    {}},
        InstallCase{"a FIFO or device entry installed as an empty file",
                    {},
                    FifoAndDevice,
                    InstallResult::kFailed,
                    {"info: Error creating file : fifo", "info: Error creating file : device"},
                    {{"prog/a.txt", "new a"}},
                    {}},
        InstallCase{"an entry written through a sub-folder that is a symbolic link",
                    {{"outside/keep.txt", "keep"}},
                    IntoLinkedFolder,
                    InstallResult::kFailed,
                    {"info: Error creating file : lang/en.txt"},
                    {{"outside/keep.txt", "keep"}},
                    {},
                    {{"prog/lang", "../outside"}}},
        InstallCase{"no bound on the bytes written, or what was replaced kept after passing it",
                    {kOldA},
                    PastTheBoundInThirdEntry,
                    InstallResult::kFailed,
                    {"info: Error creating file : b.txt"},
                    {{"prog/a.txt", "old a"}},
                    {},
                    {},
                    kSmallBound},
        InstallCase{"what passing the bound replaced put back first to last",
                    {kOldA},
                    PastTheBoundAfterABackupName,
                    InstallResult::kFailed,
                    {"info: Error creating file : b.txt"},
                    {{"prog/a.txt", "old a"}},
                    {},
                    {},
                    kSmallBound},
        InstallCase{"an entry of exactly the bound's size taken as passing it",
                    {},
                    ExactlyTheBound,
                    InstallResult::kInstalled,
                    {},
                    {{"prog/a.txt", std::string(kSmallBound, 'a')}},
                    {},
                    {},
                    kSmallBound},
        InstallCase{"only the first folder on the way checked for a link",
                    {{"outside/keep.txt", "keep"}, {"prog/lang/en.txt", "old en"}},
                    IntoLinkDeeperDown,
                    InstallResult::kFailed,
                    {"info: Error creating file : lang/sub/en.txt"},
                    {{"outside/keep.txt", "keep"}, {"prog/lang/en.txt", "old en"}},
                    {},
                    {{"prog/lang/sub", "../../outside"}}},
        InstallCase{"a second copy of a name told apart by an empty component",
                    {{"prog/sub/a.txt", "old a"}},
                    TwiceWithAnEmptyComponent,
                    InstallResult::kFailed,
                    {"info: Error creating file : sub//a.txt"},
                    {{"prog/sub/a.txt", "first"}, {"prog/sub/a.txt.OLD", "old a"}},
                    {}},
        InstallCase{"a local header taken for the directory's entry whose name it begins",
                    {},
                    LocalNameAPrefixOfTheDirectorys,
                    InstallResult::kFailed,
                    {"info: Error creating file : a.txtX"},
                    {},
                    {}},
        InstallCase{"a directory with records beyond its count taken as an archive",
                    {kOldA},
                    CountsFewerThanTheDirectoryHolds,
                    InstallResult::kNotAnArchive,
                    {},
                    {{"prog/a.txt", "old a"}},
                    {}},
        InstallCase{"a small archive expanding without bound",
                    {},
                    Bomb,
                    InstallResult::kFailed,
                    {"info: Error creating file : bomb"},
                    {},
                    {},
                    {},
                    kMiB},
        InstallCase{"an entry without a Unix mode not installed as 0644",
                    {},
                    DosMade,
                    InstallResult::kInstalled,
                    {},
                    {{"prog/dos.txt", "from DOS"}},
                    {{"prog/dos.txt", 0644}}},
        InstallCase{"an entry needing a ZIP version above 2.0 dropped",
                    {kOldA},
                    NeedsVersion63,
                    InstallResult::kInstalled,
                    {},
                    {{"prog/a.txt", "new a"}, {"prog/a.txt.OLD", "old a"}},
                    {}}));

}  // namespace
