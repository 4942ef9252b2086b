#include "radardb/filter/record_filter.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "radardb/text/case_folding.h"
#include "radardb/text/utf8_text.h"

using namespace radardb;

namespace {

struct Row {
  std::string speed, road, city;
  std::int32_t spd, dir, sc;
};

// Rows 2 and 5 hold Windows-1252 bytes, rows 3, 4 and 6 UTF-8.
const std::vector<Row> kRows = {
    {"50", "A3", "Bad Orb", 50, -10, 4},
    {"130 km/h", "A31, exit 2", "Vellmarsk", 130, 10, 1},
    {"30 mph",
     "Stra\xdf"
     "e der Einheit",
     "Sk\xe4rnes", 30, 180, 4},
    {"100", "Rue de l'\xc3\x89glise", "\xc3\x89tangville", 100, -11, 2},
    {"70", "N7", "\xce\xa3\xce\xbf\xcf\x86\xce\xaf\xce\xb1", 70, 11, 0},  // Σοφία
    {"", "", "", 0, 0, 0},
    {"\xe2\x84\xaa", "", "Ring", 0, 0, 0},  // the Kelvin sign
    {"", "ZAC du Moulin", "", 0, 0, 0},
};

RecordTable MakeTable() {
  RecordTable table;
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    RecordTable::Ints ints{};
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(i);
    ints[static_cast<int>(Column::kSpd)] = kRows[i].spd;
    ints[static_cast<int>(Column::kDir)] = kRows[i].dir;
    ints[static_cast<int>(Column::kSc)] = kRows[i].sc;
    table.Append(ints, kRows[i].speed, kRows[i].road, kRows[i].city);
  }
  return table;
}

struct MatchCase {
  const char* fault;
  std::string expression;
  RowOrder rows;
};

// Test names show the fault a case would catch.
void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.fault; }

class FilterMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(FilterMatchTest, MatchesTheRightRows) {
  const MatchCase& c = GetParam();
  const RecordTable table = MakeTable();
  RecordFilter filter;
  ASSERT_EQ(RecordFilter::Parse(c.expression, filter).message(), "") << c.fault;
  EXPECT_EQ(MatchingRows(filter, RecordTableSource(table), TableOrder(table.size())), c.rows)
      << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Terms, FilterMatchTest,
    testing::Values(MatchCase{"empty expression hides rows", "  ", {0, 1, 2, 3, 4, 5, 6, 7}},
                    MatchCase{"word not looked for in every text column", "vell", {1}},
                    MatchCase{"letter case not ignored", "\"BAD ORB\"", {0}},
                    MatchCase{"phrase split at its blank", "\"orb bad\"", {}},
                    MatchCase{"terms not all required", "orb bad", {0}},
                    MatchCase{"word found across two texts", "50a3", {}},
                    MatchCase{"column term looked for elsewhere", "road:A3", {0, 1}},
                    MatchCase{"column name's letter case matters", "CITY:\"bad orb\"", {0}},
                    MatchCase{"Windows-1252 byte not read as its letter",
                              "STRA\xc3\x9f"
                              "E",
                              {2}},
                    MatchCase{"Windows-1252 capital not folded", "sk\xc3\x84rnes", {2}},
                    MatchCase{"UTF-8 capital not folded", "\xc3\xa9glise", {3}},
                    MatchCase{"Greek not folded", "\xce\xa3\xce\x9f\xce\xa6\xce\x8a\xce\x91", {4}},
                    MatchCase{"a text that folds to ASCII passed over", "speed:k", {1, 6}},
                    MatchCase{"a text that folds to ASCII passed over by words", "K", {1, 2, 6}},
                    MatchCase{"at least", "spd>=100", {1, 3}},
                    MatchCase{"greater taken as at least", "spd>100", {1}},
                    MatchCase{"less taken as at most", "spd<50", {2, 5, 6, 7}},
                    MatchCase{"at most", "spd<=50", {0, 2, 5, 6, 7}},
                    MatchCase{"equal", "spd=70", {4}},
                    MatchCase{"a one-value range taken as empty", "spd=70..70", {4}},
                    MatchCase{"an upper-case Z not lowered", "zac", {7}},
                    MatchCase{"colon on a number column not taken as equal", "spd:70", {4}},
                    MatchCase{"not equal", "spd!=0", {0, 1, 2, 3, 4}},
                    MatchCase{"range ends not included", "dir=-10..10", {0, 1, 5, 6, 7}},
                    MatchCase{"range with != not taken as outside", "dir!=-10..10", {2, 3, 4}},
                    MatchCase{"number column name's letter case matters", "SC=4", {0, 2}},
                    MatchCase{"# not a column", "#<2", {0, 1}},
                    MatchCase{"negated text term not inverted", "-city:vell", {0, 2, 3, 4, 5, 6, 7}},
                    MatchCase{"negated comparison not inverted", "-spd>=100", {0, 2, 4, 5, 6, 7}},
                    MatchCase{"negated != not back to =", "-spd!=70", {4}},
                    MatchCase{"quoted minus taken as negation", "\"-\"", {}},
                    MatchCase{"mixed terms not combined", "sc=4 -a3", {2}}));

struct ErrorCase {
  const char* fault;
  std::string expression;
  std::string message;
};

// Test names show the fault a case would catch.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.fault; }

class FilterErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(FilterErrorTest, RefusesWithTheReasonAndKeepsTheFilter) {
  const ErrorCase& c = GetParam();
  RecordFilter filter;
  ASSERT_EQ(RecordFilter::Parse("spd=70", filter).message(), "");
  EXPECT_EQ(RecordFilter::Parse(c.expression, filter).message(), c.message) << c.fault;
  const RecordTable table = MakeTable();
  EXPECT_EQ(MatchingRows(filter, RecordTableSource(table), TableOrder(table.size())), RowOrder{4})
      << c.fault << ": the filter before changed";
}

INSTANTIATE_TEST_SUITE_P(
    Terms, FilterErrorTest,
    testing::Values(
        ErrorCase{"lone minus matches everything", "a -", "'-' must be followed by a term in '-'"},
        ErrorCase{"double minus read as a word", "--x", "'-' twice in '--x'"},
        ErrorCase{"empty phrase matches everything", "\"\"", "empty text in '\"\"'"},
        ErrorCase{"empty column term matches everything", "road:", "empty text in 'road:'"},
        ErrorCase{"unknown column taken as a word", "foo=3", "unknown column 'foo' in 'foo=3'"},
        ErrorCase{"operator without a column taken as a word", ">=3",
                  "no column before '>=' in '>=3'"},
        ErrorCase{"bad number read as 0", "spd>=fast", "bad number 'fast' in 'spd>=fast'"},
        ErrorCase{"number past 32 bits wraps", "spd<99999999999",
                  "bad number '99999999999' in 'spd<99999999999'"},
        ErrorCase{"trailing garbage ignored", "spd=5x", "bad number '5x' in 'spd=5x'"},
        ErrorCase{"missing number read as 0", "spd>=", "missing number in 'spd>='"},
        ErrorCase{"range with < accepted", "spd<1..5", "a range takes '=' or '!=' in 'spd<1..5'"},
        ErrorCase{"range without its end accepted", "dir=1..", "bad number '' in 'dir=1..'"},
        ErrorCase{"reversed range matches nothing silently", "dir=10..-10",
                  "empty range in 'dir=10..-10'"},
        ErrorCase{"comparison on a text column accepted", "road>=3",
                  "text column 'Road' takes ':' in 'road>=3'"},
        ErrorCase{"open quote runs to the end", "city:\"Bad Orb",
                  "missing closing quote in 'city:\"Bad Orb'"},
        ErrorCase{"an escape sequence reaching the terminal", "spd=\x1b[2J",
                  "bad number '\\x1B[2J' in 'spd=\\x1B[2J'"},
        ErrorCase{"negative radius matches nothing silently", "near:10,20,-5",
                  "negative radius '-5' in 'near:10,20,-5'"},
        ErrorCase{"near without its radius accepted", "near:10,20",
                  "near takes ':' and X,Y,R (a grid position and a radius) in 'near:10,20'"},
        ErrorCase{"near with a fourth number accepted", "near:1,2,3,4",
                  "near takes ':' and X,Y,R (a grid position and a radius) in 'near:1,2,3,4'"},
        ErrorCase{"near with = accepted", "near=1,2,3",
                  "near takes ':' and X,Y,R (a grid position and a radius) in 'near=1,2,3'"},
        ErrorCase{"bad number of near read as 0", "near:1,y,3", "bad number 'y' in 'near:1,y,3'"}));

// Fault caught: a huge bad term repeated whole, twice, in the message (and the tooltip).
TEST(FilterErrorTest, AHugeTermIsCutInTheMessage) {
  RecordFilter filter;
  const std::string message = RecordFilter::Parse("spd=" + std::string(100'000, '9') + "x", filter).message();
  EXPECT_LT(message.size(), 2 * kPrintableTextLimit + 40) << message.size();
  EXPECT_NE(message.find("...' in 'spd=999"), std::string::npos) << message.substr(0, 80);
}

// The search skips folding texts that hold none of these; a new one would go unfound.
TEST(CaseFoldingTest, OnlyTheListedCharactersFoldIntoAscii) {
  std::vector<char32_t> folding;
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (SimpleCaseFold(c) < 0x80) folding.push_back(c);
  }
  EXPECT_EQ(folding,
            std::vector<char32_t>(std::begin(kFoldingIntoAscii), std::end(kFoldingIntoAscii)));
}

TEST(MatchingRowsTest, KeepsTheGivenOrder) {
  const RecordTable table = MakeTable();
  RecordFilter filter;
  ASSERT_EQ(RecordFilter::Parse("spd>=50", filter).message(), "");
  EXPECT_EQ(MatchingRows(filter, RecordTableSource(table), RowOrder{4, 3, 0, 1}),
            (RowOrder{4, 3, 0, 1}));
  EXPECT_EQ(MatchingRows(filter, RecordTableSource(table), RowOrder{5, 1, 2}), (RowOrder{1}));
}

TEST(MatchingRowsTest, ThreadsSplitTheRowsWithoutLosingAny) {
  RecordTable table;
  constexpr std::uint32_t kRows = 100'000;  // several scan blocks for every thread
  RecordTable::Ints ints{};
  for (std::uint32_t i = 0; i < kRows; ++i) {
    ints[static_cast<int>(Column::kSpd)] = static_cast<std::int32_t>(i % 7);
    table.Append(ints, "", i % 3 == 0 ? "Ring Road" : "A1", "");
  }
  RecordFilter filter;
  ASSERT_EQ(RecordFilter::Parse("ring spd=3", filter).message(), "");
  RowOrder expected;
  for (std::uint32_t i = 0; i < kRows; ++i) {
    if (i % 3 == 0 && i % 7 == 3) expected.push_back(i);
  }
  RowOrder reversed = TableOrder(kRows);
  std::reverse(reversed.begin(), reversed.end());
  const RecordTableSource source(table);
  EXPECT_EQ(MatchingRows(filter, source, TableOrder(kRows), {}, 3), expected);
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(MatchingRows(filter, source, reversed, {}, 2), expected);

  // Three parts of a split that is not even: the last one keeps its last row.
  RecordFilter everything;
  ASSERT_EQ(RecordFilter::Parse("spd>=0", everything).message(), "");
  EXPECT_EQ(MatchingRows(everything, source, TableOrder(kRows), {}, 3).size(), kRows);

  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(MatchingRows(filter, source, TableOrder(kRows), stop.get_token(), 2), RowOrder{});
}

}  // namespace
