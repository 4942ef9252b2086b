#include "radardb/filter/record_filter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <system_error>
#include <type_traits>

#include "platform/work_crew.h"
#include "radardb/text/case_folding.h"
#include "radardb/text/database_text.h"
#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

using Kind = RowField::Kind;

constexpr char kQuote = '"';
constexpr char kNegation = '-';
constexpr std::string_view kRangeMark = "..";
constexpr std::string_view kNearName = "near";
constexpr char kNearSeparator = ',';
// Longest first, so "<=" is not read as "<".
constexpr std::string_view kOperators[] = {"!=", "<=", ">=", ":", "=", "<", ">"};
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
// The first bytes of kFoldingIntoAscii in UTF-8.
constexpr std::string_view kLeadsFoldingIntoAscii = "\xC5\xE2";
// Rows scanned between two looks at the stop token, and fewer rows than this use one thread.
constexpr std::size_t kScanBlock = 16384;

// A zero byte counts as a blank, so no text to look for holds one: the search pads texts with
// zero bytes.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }
bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#' || c == '_';
}
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsAscii(std::string_view text) {
  unsigned char seen = 0;
  for (const char c : text) seen |= static_cast<unsigned char>(c);
  return seen < 0x80;
}

// The text search reads eight bytes at a time, the first at the lowest bits.
static_assert(std::endian::native == std::endian::little);
constexpr std::uint64_t kEachByte = 0x0101010101010101;
constexpr std::uint64_t kHighBits = kEachByte * 0x80;
constexpr std::uint64_t kLowBits = kEachByte * 0x7F;

template <typename Word>
Word Load(const char* bytes) {
  Word word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// The bytes of `text` from `at` on (at least one), at most eight, zero above. Whole loads only:
// a word put together in memory from smaller stores would stall the load that reads it back.
std::uint64_t WordAt(std::string_view text, std::size_t at) {
  const std::size_t left = text.size() - at;
  if (left >= 8) return Load<std::uint64_t>(text.data() + at);
  if (text.size() >= 8) return Load<std::uint64_t>(text.data() + text.size() - 8) >> 8 * (8 - left);
  const char* bytes = text.data() + at;
  if (left >= 4) {
    return Load<std::uint32_t>(bytes) | std::uint64_t{Load<std::uint32_t>(bytes + left - 4)}
                                            << 8 * (left - 4);
  }
  const auto byte = [bytes](std::size_t i) {
    return std::uint64_t{static_cast<unsigned char>(bytes[i])} << 8 * i;
  };
  return byte(0) | byte(left / 2) | byte(left - 1);
}

// `word` with its ASCII capitals (0x41..0x5A) turned into small letters (0x20 higher).
std::uint64_t LowerAscii(std::uint64_t word) {
  const std::uint64_t low = word & kLowBits;
  const std::uint64_t atLeastA = low + kEachByte * (0x80 - 'A');
  const std::uint64_t pastZ = low + kEachByte * (0x80 - 'Z' - 1);
  const std::uint64_t capitals = atLeastA & ~pastZ & ~word & kHighBits;
  return word | capitals >> 2;
}

// The high bit of each byte of `word` that is zero.
std::uint64_t ZeroBytes(std::uint64_t word) {
  return ~(((word & kLowBits) + kLowBits) | word | kLowBits);
}

bool EqualsAsciiFoldedAt(std::string_view text, std::size_t at, std::string_view folded) {
  for (std::size_t i = 0; i < folded.size(); ++i) {
    if (AsciiLower(text[at + i]) != folded[i]) return false;
  }
  return true;
}

// Whether `text`, its ASCII letters lower-cased, contains `folded` (lower-case ASCII, not empty,
// no zero byte) without spanning any of the `fieldEnds` (offsets where one text of several ends
// and the next begins). Sets `ascii` to whether `text` is all ASCII when it does not.
bool ContainsAsciiFolded(std::string_view text, std::string_view folded, bool& ascii,
                         std::initializer_list<std::size_t> fieldEnds = {}) {
  const std::uint64_t first = kEachByte * static_cast<unsigned char>(folded.front());
  std::uint64_t seen = 0;
  for (std::size_t at = 0; at < text.size(); at += sizeof first) {
    const std::uint64_t word = WordAt(text, at);
    seen |= word;
    for (std::uint64_t hits = ZeroBytes(LowerAscii(word) ^ first); hits != 0; hits &= hits - 1) {
      const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
      const bool spansFields = std::ranges::any_of(fieldEnds, [&](std::size_t end) {
        return candidate < end && end < candidate + folded.size();
      });
      if (text.size() - candidate >= folded.size() && !spansFields &&
          EqualsAsciiFoldedAt(text, candidate, folded)) {
        return true;
      }
    }
  }
  ascii = (seen & kHighBits) == 0;
  return false;
}

// Whether folding `text` may make ASCII where its bytes had none. When not, an ASCII needle is in
// the folded text exactly when its bytes, ASCII letters lower-cased, hold it: UTF-8 sequences and
// Windows-1252 bytes beyond ASCII all fold to characters beyond ASCII.
bool FoldingMayMakeAscii(std::string_view text) {
  return text.find_first_of(kLeadsFoldingIntoAscii) != std::string_view::npos;
}

Status TermError(std::string_view problem, std::string_view term) {
  return Status::InvalidArgument(std::string(problem) + " in '" + PrintableText(term) + "'");
}

// A term as typed, quotes taken out: `text`, of which the part from `quoteStart` on was quoted
// (npos: nothing was).
struct RawTerm {
  std::string_view typed;
  std::string text;
  std::size_t quoteStart = std::string::npos;
};

// Splits `expression` into blank-separated terms; blanks inside double quotes belong to the term.
Status SplitTerms(std::string_view expression, std::vector<RawTerm>& terms) {
  std::size_t at = 0;
  while (true) {
    while (at < expression.size() && IsBlank(expression[at])) ++at;
    if (at == expression.size()) return Status();
    RawTerm term;
    const std::size_t start = at;
    bool inQuotes = false;
    for (; at < expression.size() && (inQuotes || !IsBlank(expression[at])); ++at) {
      if (expression[at] == kQuote) {
        inQuotes = !inQuotes;
        if (term.quoteStart == std::string::npos) term.quoteStart = term.text.size();
      } else {
        term.text.push_back(expression[at]);
      }
    }
    term.typed = expression.substr(start, at - start);
    if (inQuotes) return TermError("missing closing quote", term.typed);
    terms.push_back(std::move(term));
  }
}

// Parses a whole int32 number.
bool ParseInt(std::string_view text, std::int64_t& value) {
  std::int32_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

}  // namespace

Status RecordFilter::Parse(std::string_view expression, RecordFilter& filter,
                           std::span<const RowField> fields) {
  std::vector<RawTerm> raw;
  if (Status split = SplitTerms(expression, raw); !split.ok()) return split;
  RecordFilter parsed;
  for (const RawTerm& term : raw) {
    Term& parsedTerm = parsed.terms_.emplace_back();
    if (Status status = ParseTerm(term.typed, term.text, term.quoteStart, fields, parsedTerm);
        !status.ok()) {
      return status;
    }
  }
  // Integer terms are cheaper to test; all terms must match, so their order is free.
  std::stable_partition(parsed.terms_.begin(), parsed.terms_.end(),
                        [](const Term& term) { return term.integer || term.near; });
  filter = std::move(parsed);
  return Status();
}

Status RecordFilter::ParseTerm(std::string_view typed, std::string_view text,
                               std::size_t quoteStart, std::span<const RowField> fields,
                               Term& term) {
  if (quoteStart != 0 && !text.empty() && text.front() == kNegation) {
    term.negated = true;
    text.remove_prefix(1);
    if (quoteStart != std::string::npos) --quoteStart;
    if (text.empty() && quoteStart == std::string::npos) {
      return TermError("'-' must be followed by a term", typed);
    }
    if (quoteStart != 0 && !text.empty() && text.front() == kNegation) {
      return TermError("'-' twice", typed);
    }
  }

  // A field term starts, outside quotes, with a name and an operator.
  const std::string_view unquoted = text.substr(0, quoteStart);
  std::size_t nameEnd = 0;
  while (nameEnd < unquoted.size() && IsNameChar(unquoted[nameEnd])) ++nameEnd;
  std::string_view op;
  for (const std::string_view candidate : kOperators) {
    if (unquoted.substr(nameEnd).starts_with(candidate)) {
      op = candidate;
      break;
    }
  }
  if (op.empty()) {
    term.folded = FoldedText(text);
    if (term.folded.empty()) return TermError("empty text", typed);
    for (const RowField& field : fields) {
      if (field.kind == Kind::kText && field.searchedByWords) term.fields.push_back(field.id);
    }
    term.asciiOnly = IsAscii(term.folded);
    term.recordTexts = term.fields == std::vector<int>{static_cast<int>(Column::kSpeed),
                                                       static_cast<int>(Column::kRoad),
                                                       static_cast<int>(Column::kCity)};
    return Status();
  }

  const std::string_view name = text.substr(0, nameEnd);
  if (name.empty()) return TermError("no column before '" + std::string(op) + "'", typed);
  const auto field =
      std::ranges::find_if(fields, [name](const RowField& f) { return SameName(f.name, name); });
  if (field == fields.end() && SameName(name, kNearName)) {
    return ParseNear(typed, op, text.substr(nameEnd + op.size()), fields, term);
  }
  if (field == fields.end()) {
    return TermError("unknown column '" + PrintableText(name) + "'", typed);
  }
  term.fields = {field->id};
  const std::string_view value = text.substr(nameEnd + op.size());
  if (field->kind == Kind::kChoice || field->kind == Kind::kFlags)
    return ParseChoice(typed, *field, op, value, term);

  if (field->kind == Kind::kText) {
    if (op != ":") {
      return TermError("text column '" + std::string(field->name) + "' takes ':'", typed);
    }
    term.folded = FoldedText(value);
    if (term.folded.empty()) return TermError("empty text", typed);
    term.asciiOnly = IsAscii(term.folded);
    return Status();
  }

  term.integer = true;
  if (value.empty()) return TermError("missing number", typed);
  const std::size_t range = value.find(kRangeMark);
  if (range != std::string_view::npos) {
    if (op != "=" && op != "!=" && op != ":") return TermError("a range takes '=' or '!='", typed);
    const std::string_view low = value.substr(0, range);
    const std::string_view high = value.substr(range + kRangeMark.size());
    if (!ParseInt(low, term.low)) {
      return TermError("bad number '" + PrintableText(low) + "'", typed);
    }
    if (!ParseInt(high, term.high)) {
      return TermError("bad number '" + PrintableText(high) + "'", typed);
    }
    if (term.low > term.high) return TermError("empty range", typed);
    if (op == "!=") term.negated = !term.negated;
    return Status();
  }
  std::int64_t number = 0;
  if (!ParseInt(value, number))
    return TermError("bad number '" + PrintableText(value) + "'", typed);
  term.low = kIntMin;
  term.high = kIntMax;
  if (op == "=" || op == ":" || op == "!=") {
    term.low = term.high = number;
    if (op == "!=") term.negated = !term.negated;
  } else if (op == "<") {
    term.high = number - 1;
  } else if (op == "<=") {
    term.high = number;
  } else if (op == ">") {
    term.low = number + 1;
  } else {
    term.low = number;
  }
  return Status();
}

Status RecordFilter::ParseChoice(std::string_view typed, const RowField& field, std::string_view op,
                                 std::string_view value, Term& term) {
  const auto choice = std::ranges::find_if(
      field.choices, [value](const FieldChoice& c) { return SameName(c.word, value); });
  if ((op != ":" && op != "=" && op != "!=") || choice == field.choices.end()) {
    // "column 'Change' takes added, removed or moved"
    std::string words;
    for (std::size_t i = 0; i < field.choices.size(); ++i) {
      if (i > 0) words += i + 1 == field.choices.size() ? " or " : ", ";
      words += field.choices[i].word;
    }
    return TermError("column '" + std::string(field.name) + "' takes " + words, typed);
  }
  term.integer = true;
  term.anyBit = field.kind == Kind::kFlags;
  term.low = choice->low;
  term.high = choice->high;
  if (op == "!=") term.negated = !term.negated;
  return Status();
}

Status RecordFilter::ParseNear(std::string_view typed, std::string_view op, std::string_view value,
                               std::span<const RowField> fields, Term& term) {
  constexpr char kForm[] = "near takes ':' and X,Y,R (a grid position and a radius)";
  const auto idOf = [fields](std::string_view name) {
    const auto field =
        std::ranges::find_if(fields, [name](const RowField& f) { return SameName(f.name, name); });
    return field == fields.end() ? -1 : field->id;
  };
  const int xField = idOf("CoordX");
  const int yField = idOf("CoordY");
  if (xField < 0 || yField < 0) return TermError("unknown column 'near'", typed);
  if (op != ":") return TermError(kForm, typed);
  std::int64_t numbers[3] = {0, 0, 0};
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? value.find(kNearSeparator, at) : value.size();
    if (end == std::string_view::npos) return TermError(kForm, typed);
    const std::string_view number = value.substr(at, end - at);
    if (number.empty() || (i == 2 && number.find(kNearSeparator) != std::string_view::npos)) {
      return TermError(kForm, typed);
    }
    if (!ParseInt(number, numbers[i])) {
      return TermError("bad number '" + std::string(number) + "'", typed);
    }
    at = end + 1;
  }
  if (numbers[2] < 0) {
    return TermError("negative radius '" + std::to_string(numbers[2]) + "'", typed);
  }
  term.near = true;
  term.fields = {xField, yField};
  term.place = {static_cast<std::int32_t>(numbers[0]), static_cast<std::int32_t>(numbers[1]),
                numbers[2]};
  return Status();
}

bool RecordFilter::Reads(int field) const {
  return std::ranges::any_of(
      terms_, [field](const Term& term) { return std::ranges::count(term.fields, field) > 0; });
}

std::optional<RecordFilter::Place> RecordFilter::RequiredPlace() const {
  const auto near =
      std::ranges::find_if(terms_, [](const Term& term) { return term.near && !term.negated; });
  if (near == terms_.end()) return std::nullopt;
  return near->place;
}

template <typename Source>
bool RecordFilter::TermMatches(const Term& term, const Source& source, std::uint32_t row) {
  if (term.near) {
    const bool within =
        WithinRadius(source.Int(row, term.fields[0]), source.Int(row, term.fields[1]), term.place.x,
                     term.place.y, term.place.radius);
    return within != term.negated;
  }
  if (term.integer) {
    const std::int64_t value = source.Int(row, term.fields.front());
    const bool holds =
        term.anyBit ? (value & term.low) != 0 : value >= term.low && value <= term.high;
    return holds != term.negated;
  }
  if constexpr (std::is_same_v<Source, RecordTableSource>) {
    // The three texts lie back to back: one pass over them all, matches across two refused.
    if (term.recordTexts && term.asciiOnly) {
      const RecordTable& table = source.Table();
      const std::size_t speedEnd = table.Text(row, Column::kSpeed).size();
      const std::size_t roadEnd = speedEnd + table.Text(row, Column::kRoad).size();
      bool ascii = true;
      if (ContainsAsciiFolded(table.RowTexts(row), term.folded, ascii, {speedEnd, roadEnd})) {
        return !term.negated;
      }
      if (ascii || !FoldingMayMakeAscii(table.RowTexts(row))) return term.negated;
    }
  }
  bool found = false;
  for (const int field : term.fields) {
    const std::string_view text = source.Text(row, field);
    // An ASCII needle found among a text's ASCII bytes is in its folded form too; otherwise only
    // folding can show it, in a text with other bytes (the Kelvin sign folds to 'k').
    bool ascii = true;
    if (term.asciiOnly) {
      found = ContainsAsciiFolded(text, term.folded, ascii);
    } else {
      ascii = IsAscii(text);
    }
    if (!found && !ascii && (!term.asciiOnly || FoldingMayMakeAscii(text))) {
      thread_local std::string folded;
      folded.clear();
      AppendFoldedText(text, folded);
      found = folded.find(term.folded) != std::string::npos;
    }
    if (found) break;
  }
  return found != term.negated;
}

template <typename Source>
bool RecordFilter::MatchesRow(const Source& source, std::uint32_t row) const {
  return std::ranges::all_of(terms_,
                             [&](const Term& term) { return TermMatches(term, source, row); });
}

bool RecordFilter::Matches(const RowSource& source, std::uint32_t row) const {
  return MatchesRow(source, row);
}

// Sets matched[row] for the rows from `begin` to `end`, looking at `stop` between blocks.
template <typename Source>
void MarkMatches(const RecordFilter& filter, const Source& source, std::size_t begin,
                 std::size_t end, std::stop_token stop, std::uint8_t* matched) {
  for (std::size_t block = begin; block < end && !stop.stop_requested(); block += kScanBlock) {
    const std::size_t blockEnd = std::min(end, block + kScanBlock);
    for (std::size_t row = block; row < blockEnd; ++row) {
      matched[row] = filter.MatchesRow(source, static_cast<std::uint32_t>(row));
    }
  }
}

RowOrder MatchingRows(const RecordFilter& filter, const RowSource& source,
                      std::span<const std::uint32_t> order, std::stop_token stop,
                      unsigned threads) {
  if (filter.empty()) return {order.begin(), order.end()};
  const std::size_t rows = source.size();
  if (threads == 0) threads = platform::WorkThreads();
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, rows / kScanBlock + 1));

  // The rows are read in their own order, whatever `order` is, so the scan streams through
  // memory; `order` only picks the matches out afterwards.
  std::vector<std::uint8_t> matched(rows);
  const auto* records = dynamic_cast<const RecordTableSource*>(&source);
  const auto scan = [&](unsigned part) {
    const std::size_t begin = rows * part / threads;
    const std::size_t end = rows * (part + 1) / threads;
    if (records != nullptr) {
      MarkMatches(filter, *records, begin, end, stop, matched.data());
    } else {
      MarkMatches(filter, source, begin, end, stop, matched.data());
    }
  };
  {
    std::vector<platform::CallJob> parts;
    parts.reserve(threads);
    for (unsigned part = 0; part < threads; ++part)
      parts.emplace_back([&scan, part] { scan(part); });
    platform::WorkCrew crew(threads);  // after the parts, so it is gone before they are
    for (platform::CallJob& part : parts) crew.Queue(part);
    for (platform::CallJob& part : parts) crew.Wait(part);
  }
  RowOrder matching;
  if (stop.stop_requested()) return matching;
  for (const std::uint32_t row : order) {
    if (matched[row]) matching.push_back(row);
  }
  return matching;
}

RowOrder MatchingRows(const RecordFilter& filter, const RowSource& source,
                      std::span<const std::uint32_t> order, const PositionIndex& positions,
                      std::stop_token stop) {
  const std::optional<RecordFilter::Place> place = filter.RequiredPlace();
  if (!place || positions.size() != source.size()) return MatchingRows(filter, source, order, stop);
  std::vector<std::uint32_t> near;
  positions.RowsWithin(place->x, place->y, place->radius, near);
  std::vector<std::uint8_t> matched(source.size());
  for (const std::uint32_t row : near) matched[row] = filter.Matches(source, row);
  RowOrder matching;
  if (stop.stop_requested()) return matching;
  for (const std::uint32_t row : order) {
    if (matched[row]) matching.push_back(row);
  }
  return matching;
}

}  // namespace radardb
