#include "update/update_check.h"
#include "update/update_install.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <ostream>

namespace {

struct StoredPathCase {
  const char* fault;
  QByteArray path;
  bool safe;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const StoredPathCase& c, std::ostream* os) { *os << c.fault; }

class StoredPathTest : public testing::TestWithParam<StoredPathCase> {};

TEST_P(StoredPathTest, KeepsEntriesInsideTheFolder) {
  EXPECT_EQ(IsSafeStoredPath(GetParam().path), GetParam().safe) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoredPathTest,
    testing::Values(StoredPathCase{"a plain name refused", "kestrolan", true},
                    StoredPathCase{"a name in a sub-folder refused", "lang/en.txt", true},
                    StoredPathCase{"a name merely starting with two dots refused", "..hidden",
                                   true},
                    StoredPathCase{"a name ending in dots refused", "notes..", true},
                    StoredPathCase{"a component \".\" refused", "./kestrolan", true},
                    StoredPathCase{"an empty path accepted", "", false},
                    StoredPathCase{"a leading \"..\" accepted", "../outside", false},
                    StoredPathCase{"a \"..\" in the middle accepted", "lang/../../outside", false},
                    StoredPathCase{"a trailing \"..\" accepted", "lang/..", false},
                    StoredPathCase{"an absolute path accepted", "/etc/passwd", false},
                    StoredPathCase{"a backslash accepted", "lang\\en.txt", false},
                    StoredPathCase{"a backslash \"..\" accepted", "..\\outside", false},
                    StoredPathCase{"a drive letter accepted", "C:/Windows/x.dll", false},
                    StoredPathCase{"a drive-relative path accepted", "c:x.dll", false}));

struct SplitCase {
  const char* fault;
  QString path;
  QString directory;
  QString name;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.fault; }

class SplitExecutablePathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitExecutablePathTest, CutsAfterTheLastSeparator) {
  const ExecutableLocation location = SplitExecutablePath(GetParam().path);
  EXPECT_EQ(location.directory, GetParam().directory) << GetParam().fault;
  EXPECT_EQ(location.name, GetParam().name) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitExecutablePathTest,
    testing::Values(SplitCase{"the separator dropped from the folder", "/opt/kestrolan/kestrolan",
                              "/opt/kestrolan/", "kestrolan"},
                    SplitCase{"cut at the first separator", "/opt/k dir/bin/kestrolan",
                              "/opt/k dir/bin/", "kestrolan"},
                    SplitCase{"a path without a folder given one", "kestrolan", "", "kestrolan"},
                    SplitCase{"a file in the root folder mishandled", "/kestrolan", "/",
                              "kestrolan"}));

}  // namespace
