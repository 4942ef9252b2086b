// What an installation leaves when the operating system refuses the rename that puts the new file
// in place, after the old one has already become the backup.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "tests/support/scripted_prompts.h"
#include "tests/update/rename_fault.h"
#include "tests/update/test_release_key.h"
#include "tests/update/update_test_folder.h"
#include "tests/update/update_zip_builder.h"
#include "update/update_install.h"

using namespace update;

namespace {

TEST(InstallFault, NewFileNotMovedInPutsTheBackupBack) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  ASSERT_TRUE(PlaceFiles(temp.path(), {{"prog/a.txt", "old a", 0750}}));
  ScriptedPrompts prompts;
  const QString program = temp.filePath("prog/");
  FailRenamesOnto(QFile::encodeName(program + "a.txt").toStdString(), 1);

  const QByteArray archive = BuildZip({{"a.txt", "new a"}});
  const TestReleaseKey key;
  EXPECT_EQ(InstallArchive(archive, key.Sign(archive), key.publicKey(), program, prompts),
            InstallResult::kFailed);
  EXPECT_EQ(FailedRenames(), 1);
  EXPECT_EQ(prompts.shown, QStringList{"info: Error creating file : a.txt"});
  EXPECT_EQ(FilesUnder(temp.path()), (std::map<std::string, std::string>{{"prog/a.txt", "old a"}}));
  EXPECT_EQ(ModeOf(temp.filePath("prog/a.txt")), 0750u);
}

}  // namespace
