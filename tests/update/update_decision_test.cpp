#include <gtest/gtest.h>

#include <QByteArray>
#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"
#include "update/update_check.h"
#include "update/version_list.h"

using namespace update;

namespace {

constexpr char kName[] = "Kestrolan";
constexpr char kVersion[] = "v01.01";

struct VersionCase {
  const char* fault;  // what a wrong result would reveal
  QByteArray listed;
  bool newer;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.fault; }

class IsNewerVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(IsNewerVersionTest, ComparesByTextThenFirstLetter) {
  EXPECT_EQ(IsNewerVersion(GetParam().listed, kVersion), GetParam().newer) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IsNewerVersionTest,
    testing::Values(
        VersionCase{"a greater last digit not taken as newer", "v01.02", true},
        VersionCase{"a greater tens digit not taken as newer", "v01.10", true},
        VersionCase{"versions compared as numbers instead of text", "v1.0", true},
        VersionCase{"the first letter ignored when the rests are equal", "w01.01", true},
        VersionCase{"an equal version taken as newer", "v01.01", false},
        VersionCase{"letter case ignored in the first-letter tie-break", "V01.01", false},
        VersionCase{"a smaller version taken as newer", "v01.00", false},
        VersionCase{"a proper prefix sorted after the longer text", "v01.0", false},
        VersionCase{"a longer text with the same start not sorted after it", "v01.011", true},
        VersionCase{"an empty listed version taken as newer", "", false},
        VersionCase{"bytes of the rests compared as signed",
                    "v\xC3"
                    "1.01",
                    true},
        VersionCase{"first letters compared as unsigned",
                    "\xC3"
                    "01.01",
                    false}));

// An entry of the version list for this program that is newer than it.
constexpr char kNewerQuestion[] =
    "okcancel: New version present. Would you download the new file:Kestrolan  "
    "Version:v01.02  Date:03/10/2013 ?";

struct FindCase {
  const char* fault;
  QByteArray list;
  std::vector<bool> answers;
  QByteArray file;  // FindUpdate's result
  QStringList shown;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const FindCase& c, std::ostream* os) { *os << c.fault; }

class FindUpdateTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindUpdateTest, DecidesAndAsks) {
  const FindCase& c = GetParam();
  ScriptedPrompts prompts;
  for (bool answer : c.answers) prompts.SetNextAnswer(answer);
  EXPECT_EQ(FindUpdate(c.list, kName, kVersion, prompts), c.file) << c.fault;
  EXPECT_EQ(prompts.shown, c.shown) << c.fault;
  EXPECT_EQ(prompts.unexpected, 0) << c.fault;
}

constexpr char kListWithNul[] = "Other=v1,d,o.zip;\0Kestrolan=v01.02,03/10/2013,k.zip;";

const QStringList kAsked = {kNewerQuestion};
const QStringList kNotFound = {"info: No update found"};
const QStringList kUpToDate = {"info: Your program is up to date"};

INSTANTIATE_TEST_SUITE_P(
    Table, FindUpdateTest,
    testing::Values(
        FindCase{"the OK answer does not return the archive name",
                 "Kestrolan=v01.02,03/10/2013,kestrolan.zip;",
                 {true},
                 "kestrolan.zip",
                 kAsked},
        FindCase{"Cancel still fetches",
                 "Kestrolan=v01.02,03/10/2013,kestrolan.zip;",
                 {false},
                 "",
                 kAsked},
        FindCase{"CR LF between entries is not skipped",
                 "Other=v9,01/01/2020,o.zip;\r\nKestrolan=v01.02,03/10/2013,k.zip;\r\n",
                 {true},
                 "k.zip",
                 kAsked},
        FindCase{"LF alone between entries is not skipped",
                 "Other=v9,01/01/2020,o.zip;\nKestrolan=v01.02,03/10/2013,k.zip;\n",
                 {true},
                 "k.zip",
                 kAsked},
        FindCase{"tabs between entries are not skipped",
                 "Other=v9,01/01/2020,o.zip;\t\tKestrolan=v01.02,03/10/2013,k.zip;",
                 {true},
                 "k.zip",
                 kAsked},
        FindCase{"an entry spread over lines is not read",
                 "Kestrolan=v01.02,\r\n03/10/2013,\r\nk.zip;",
                 {true},
                 "k.zip",
                 kAsked},
        FindCase{"other programs' entries are taken for this one",
                 "Other=v01.02,03/10/2013,o.zip;Another=v02.00,04/10/2013,a.zip;",
                 {},
                 "",
                 kNotFound},
        FindCase{"names are compared without regard to case",
                 "kestrolan=v01.02,03/10/2013,k.zip;",
                 {},
                 "",
                 kNotFound},
        FindCase{"blanks around the name are trimmed",
                 "Kestrolan =v01.02,03/10/2013,k.zip;",
                 {},
                 "",
                 kNotFound},
        FindCase{"blanks inside fields are trimmed",
                 "Kestrolan=v01.02, 03/10/2013,k 1.zip;",
                 {true},
                 "k 1.zip",
                 {"okcancel: New version present. Would you download the new file:Kestrolan  "
                  "Version:v01.02  Date: 03/10/2013 ?"}},
        FindCase{"a missing field does not shift the next ones",
                 "Kestrolan=v01.02,,k.zip;\r\nOther=v1,d,f;",
                 {true},
                 "Other=v1,d,f",
                 {"okcancel: New version present. Would you download the new file:Kestrolan  "
                  "Version:v01.02  Date:k.zip; ?"}},
        FindCase{"an entry without a file name qualifies",
                 "Kestrolan=v01.02,03/10/2013",
                 {},
                 "",
                 kNotFound},
        FindCase{"a later entry is read after the first qualifying one",
                 "Kestrolan=v01.01,03/10/2013,old.zip;Kestrolan=v09.00,03/10/2019,new.zip;",
                 {},
                 "",
                 kUpToDate},
        FindCase{"the first qualifying entry does not decide",
                 "Kestrolan=v01.02,03/10/2013,k.zip;Kestrolan=v09.00,03/10/2019,new.zip;",
                 {true},
                 "k.zip",
                 kAsked},
        FindCase{"the text goes on after a NUL byte",
                 QByteArray(kListWithNul, sizeof(kListWithNul) - 1),
                 {},
                 "",
                 kNotFound},
        FindCase{
            "an equal version is offered", "Kestrolan=v01.01,02/09/2012,k.zip;", {}, "", kUpToDate},
        FindCase{"an empty list is not handled", "", {}, "", kNotFound}));

}  // namespace
