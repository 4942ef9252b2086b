#include "radardb/text/utf8_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace radardb;

namespace {

struct PrintableCase {
  const char* fault;
  std::string text;
  std::size_t limit;
  std::string printed;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const PrintableCase& c, std::ostream* os) { *os << c.fault; }

class PrintableTextTest : public testing::TestWithParam<PrintableCase> {};

TEST_P(PrintableTextTest, EscapesControlsAndCuts) {
  EXPECT_EQ(PrintableText(GetParam().text, GetParam().limit), GetParam().printed)
      << GetParam().fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrintableTextTest,
    testing::Values(
        PrintableCase{"plain text changed", "Kestrolan v01.02", 200, "Kestrolan v01.02"},
        PrintableCase{"an escape sequence reaching the terminal", "a\x1b[2Jb", 200, "a\\x1B[2Jb"},
        PrintableCase{"line ends, tabs or DEL kept raw", "a\r\n\t\x7f", 200,
                      "a\\x0D\\x0A\\x09\\x7F"},
        PrintableCase{"a UTF-8 C1 control (CSI) kept raw",
                      "\xc2\x9b"
                      "2J",
                      200, "\\xC2\\x9B2J"},
        PrintableCase{"a stray high byte kept raw", "caf\xe9", 200, "caf\\xE9"},
        PrintableCase{"well-formed UTF-8 escaped", "Z\xc3\xbcrich \xe2\x82\xac", 200,
                      "Z\xc3\xbcrich \xe2\x82\xac"},
        PrintableCase{"a long value printed whole", std::string(300, 'x'), 200,
                      std::string(200, 'x') + "..."},
        PrintableCase{"a character cut in two", "ab\xc3\xbc", 3, "ab..."},
        PrintableCase{"text of exactly the limit marked as cut", "abc", 3, "abc"}));

// The window shows texts as UTF-8 only when this says they are; a wrong answer garbles names.
TEST(Utf8SequenceLengthTest, RefusesMalformedSequences) {
  EXPECT_EQ(Utf8SequenceLength("\xc3\xbc"), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xf0\x9f\x98\x80"), 4u);
  EXPECT_EQ(Utf8SequenceLength("\xc0\xaf"), 0u);          // overlong
  EXPECT_EQ(Utf8SequenceLength("\xed\xa0\x80"), 0u);      // surrogate
  EXPECT_EQ(Utf8SequenceLength("\xf4\x90\x80\x80"), 0u);  // above U+10FFFF
  EXPECT_EQ(Utf8SequenceLength("\xe2\x82"), 0u);          // cut short
  EXPECT_EQ(Utf8SequenceLength(""), 0u);
}

}  // namespace
