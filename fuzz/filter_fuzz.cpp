// Fuzz target: the filter language. The input either is an expression typed as it comes (any
// bytes must parse or be refused without crashing or hanging, a refusal must leave the filter as
// it was, and the scan must give the same rows on one thread as on three), or it spells a table
// of rows and an expression built from a grammar, whose rows are checked against a plain
// evaluation of the same terms.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "radardb/filter/record_filter.h"
#include "radardb/records/record_table.h"

using namespace radardb;

namespace {

// The first byte's top bit chooses an expression as it comes.
constexpr std::uint8_t kRawExpression = 0x80;
constexpr std::size_t kMaxRows = 24;
// Few terms of short texts, so that rows often match all of them and a wrong answer shows.
constexpr std::size_t kMaxTerms = 3;
// Letters of the generated texts: both cases, digits and a blank, nothing the language reads.
constexpr std::string_view kAlphabet = "abzAZ09 ";
constexpr Column kIntColumns[] = {Column::kSpd, Column::kDir, Column::kSc};
constexpr const char* kIntNames[] = {"spd", "dir", "sc"};
constexpr Column kTextColumns[] = {Column::kSpeed, Column::kRoad, Column::kCity};
constexpr const char* kTextNames[] = {"speed", "road", "city"};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text(std::size_t maxLength) {
    std::string text(Next() % (maxLength + 1), ' ');
    for (char& c : text) c = kAlphabet[Next() % kAlphabet.size()];
    return text;
  }
  // Few values, so terms and rows often meet at a range's edge.
  std::int32_t Number() { return static_cast<std::int32_t>(Next() % 17) - 8; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One generated term and its plain meaning.
struct Term {
  bool negated = false;
  int intColumn = -1;   // index into kIntColumns, or -1 for a text term
  int textColumn = -1;  // index into kTextColumns, or -1 for a word searched in all three
  std::int64_t low = 0, high = 0;
  bool outside = false;  // an integer term matches outside [low, high]
  std::string needle;    // lower-cased

  bool Matches(const RecordTable& table, std::uint32_t row) const {
    bool match = false;
    if (intColumn >= 0) {
      const std::int64_t value = table.Int(row, kIntColumns[intColumn]);
      match = (value >= low && value <= high) != outside;
    } else {
      for (int c = 0; c < 3; ++c) {
        if (textColumn >= 0 && c != textColumn) continue;
        if (Lowered(std::string(table.Text(row, kTextColumns[c]))).find(needle) !=
            std::string::npos)
          match = true;
      }
    }
    return match != negated;
  }
};

// Appends a generated term to `expression`.
Term MakeTerm(Bytes& in, std::string& expression) {
  Term term;
  term.negated = in.Next() % 4 == 0;
  if (!expression.empty()) expression += ' ';
  if (term.negated) expression += '-';
  const std::uint8_t kind = in.Next();
  if (kind % 3 != 0) {
    term.intColumn = kind / 3 % 3;
    expression += kIntNames[term.intColumn];
    std::int64_t a = in.Number();
    std::int64_t b = in.Number();
    static constexpr std::int64_t kLowest = INT32_MIN, kHighest = INT32_MAX;
    switch (in.Next() % 8) {
      case 0:
        expression += "=" + std::to_string(a), term.low = term.high = a;
        break;
      case 1:
        expression += "!=" + std::to_string(a), term.low = term.high = a, term.outside = true;
        break;
      case 2:
        expression += "<" + std::to_string(a), term.low = kLowest, term.high = a - 1;
        break;
      case 3:
        expression += "<=" + std::to_string(a), term.low = kLowest, term.high = a;
        break;
      case 4:
        expression += ">" + std::to_string(a), term.low = a + 1, term.high = kHighest;
        break;
      case 5:
        expression += ">=" + std::to_string(a), term.low = a, term.high = kHighest;
        break;
      default:
        if (a > b) std::swap(a, b);
        term.outside = in.Next() % 2 == 1;
        expression +=
            std::string(term.outside ? "!=" : "=") + std::to_string(a) + ".." + std::to_string(b);
        term.low = a, term.high = b;
        break;
    }
    return term;
  }
  std::string needle = in.Text(2);
  if (needle.find_first_not_of(' ') == std::string::npos) needle = "a";
  term.needle = Lowered(needle);
  term.textColumn = kind / 3 % 4 == 3 ? -1 : kind / 3 % 4;
  if (term.textColumn >= 0) expression += std::string(kTextNames[term.textColumn]) + ":";
  const bool quoted = needle.find(' ') != std::string::npos || in.Next() % 2 == 0;
  expression += quoted ? '"' + needle + '"' : needle;
  return term;
}

RecordTable MakeRows(Bytes& in) {
  RecordTable table;
  const std::size_t rows = 1 + in.Next() % kMaxRows;
  for (std::size_t row = 0; row < rows; ++row) {
    RecordTable::Ints ints{};
    ints[static_cast<int>(Column::kIndex)] = static_cast<std::int32_t>(row);
    for (const Column column : kIntColumns) ints[static_cast<int>(column)] = in.Number();
    const std::string speed = in.Text(8), road = in.Text(8), city = in.Text(8);
    table.Append(ints, speed, road, city);
  }
  return table;
}

void CheckRawExpression(std::string_view expression) {
  RecordTable table;
  for (std::int32_t row = 0; row < 5; ++row) {
    RecordTable::Ints ints{};
    ints[static_cast<int>(Column::kSpd)] = row * 30;
    table.Append(ints, "50",
                 row % 2 ? "A3"
                         : "Stra\xdf"
                           "e",
                 "\xc3\x89tang");
  }
  const RecordTableSource source(table);
  RecordFilter filter;
  FuzzCheck(RecordFilter::Parse("spd>=60", filter).ok(), "the first filter parses");
  const RowOrder before = MatchingRows(filter, source, TableOrder(table.size()), {}, 1);
  if (!RecordFilter::Parse(expression, filter).ok()) {
    FuzzCheck(MatchingRows(filter, source, TableOrder(table.size()), {}, 1) == before,
              "a refused expression leaves the filter as it was");
    return;
  }
  FuzzCheck(MatchingRows(filter, source, TableOrder(table.size()), {}, 1) ==
                MatchingRows(filter, source, TableOrder(table.size()), {}, 3),
            "one thread and three find the same rows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if ((data[0] & kRawExpression) != 0) {
    CheckRawExpression(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
  }
  // The terms first, so that every input has some; the rows take what is left (zeros after).
  Bytes in(data + 1, size - 1);
  std::string expression;
  std::vector<Term> terms(1 + in.Next() % kMaxTerms);
  for (Term& term : terms) term = MakeTerm(in, expression);
  const RecordTable table = MakeRows(in);
  RecordFilter filter;
  FuzzCheck(RecordFilter::Parse(expression, filter).ok(), "a generated expression parses");
  RowOrder expected;
  for (std::uint32_t row = 0; row < table.size(); ++row) {
    if (std::all_of(terms.begin(), terms.end(),
                    [&](const Term& t) { return t.Matches(table, row); })) {
      expected.push_back(row);
    }
  }
  FuzzCheck(
      MatchingRows(filter, RecordTableSource(table), TableOrder(table.size()), {}, 2) == expected,
      "the filter finds the rows a plain evaluation of its terms finds");
  return 0;
}
