#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "update/update_check.h"

using namespace update;

namespace {

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
