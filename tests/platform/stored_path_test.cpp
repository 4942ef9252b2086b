#include "platform/stored_path.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct StoredPathCase {
  const char* fault;
  std::string path;
  bool safe;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const StoredPathCase& c, std::ostream* os) { *os << c.fault; }

class StoredPathTest : public testing::TestWithParam<StoredPathCase> {};

TEST_P(StoredPathTest, AcceptsOnlyNamesEverySystemKeepsApart) {
  EXPECT_EQ(platform::IsSafeStoredPath(GetParam().path), GetParam().safe) << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Kept, StoredPathTest,
    testing::Values(
        StoredPathCase{"a plain name refused", "kestrolan", true},
        StoredPathCase{"a file with an extension refused", "README.txt", true},
        StoredPathCase{"a name in a sub-folder refused", "lang/en.txt", true},
        StoredPathCase{"a name merely starting with two dots refused", "..hidden", true},
        StoredPathCase{"a name merely starting with a device name refused", "console.log", true},
        StoredPathCase{"a device name inside a longer name refused", "my-con.txt", true},
        StoredPathCase{"a COM name with two digits refused", "COM10", true},
        StoredPathCase{"a UTF-8 name refused", "caf\xc3\xa9/\xe6\x97\xa5.txt", true},
        StoredPathCase{"a component of 255 bytes refused", std::string(255, 'a'), true}));

INSTANTIATE_TEST_SUITE_P(
    Refused, StoredPathTest,
    testing::Values(
        StoredPathCase{"an empty path accepted", "", false},
        StoredPathCase{"a leading \"..\" accepted", "../outside", false},
        StoredPathCase{"a \"..\" in the middle accepted", "lang/../../outside", false},
        StoredPathCase{"a trailing \"..\" accepted", "lang/..", false},
        StoredPathCase{"an absolute path accepted", "/etc/passwd", false},
        StoredPathCase{"a backslash accepted", "data\\x.bin", false},
        StoredPathCase{"a drive letter accepted", "C:/Windows/x.dll", false},
        StoredPathCase{"a drive-relative path accepted", "c:x.dll", false},
        StoredPathCase{"a trailing dot aliasing the program accepted", "kestrolan.exe.", false},
        StoredPathCase{"a trailing blank aliasing the program accepted", "kestrolan.exe ", false},
        StoredPathCase{"a trailing dot in a folder accepted", "lang./en.txt", false},
        StoredPathCase{"a component \".\" accepted", "./kestrolan", false},
        StoredPathCase{"an alternate data stream accepted", "kestrolan.exe::$DATA", false},
        StoredPathCase{"a named stream accepted", "x:stream", false},
        StoredPathCase{"the console device accepted", "CON", false},
        StoredPathCase{"a device with an extension accepted", "nul.txt", false},
        StoredPathCase{"a device in small letters accepted", "aux.dll", false},
        StoredPathCase{"a device in a sub-folder accepted", "lang/PRN", false},
        StoredPathCase{"a device as a folder accepted", "com1/x.txt", false},
        StoredPathCase{"a numbered printer accepted", "LPT1.log", false},
        StoredPathCase{"port 0 accepted", "COM0", false},
        StoredPathCase{"printer 0 accepted", "LPT0", false},
        StoredPathCase{"a device before two extensions accepted", "CON.tar.gz", false},
        StoredPathCase{"a device before a blank and an extension accepted", "NUL .txt", false},
        StoredPathCase{"a superscript COM port accepted", "COM\xc2\xb9", false},
        StoredPathCase{"the console input device accepted", "conin$", false},
        StoredPathCase{"a NUL byte accepted", std::string("kestrolan\0.txt", 14), false},
        StoredPathCase{"a control character accepted", "a\x1b.txt", false},
        StoredPathCase{"a component of 256 bytes accepted", std::string(256, 'a'), false}));

}  // namespace
