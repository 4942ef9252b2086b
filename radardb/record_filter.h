#pragma once

#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/record_table.h"

// The filter language of the window's filter field and of `kestrolan-db export --filter`.
// Terms separated by blanks must all match a row:
//   word, "a phrase"     contained in any text field searched by words (Speed, Road, City)
//   road:A3, city:"Bad Orb"
//                        contained in that text field
//   spd>=100, dir=-10..10
//                        an integer field compared with =, !=, <, <=, >, >= or within the
//                        inclusive range A..B (with = or !=); spd:100 means spd=100
//   change:moved         a choice field (below) holding the value its word names; with != not
//   -term                the term must not match
// Field names and the words of choice fields ignore letter case; texts are compared as they read
// (database_text.h), ignoring letter case.

// A value a choice field may hold, named by a word: the field's integers from `low` to `high`.
struct FilterChoice {
  std::string_view word;  // matched ignoring ASCII case
  std::int32_t low;
  std::int32_t high;
};

// A field a filter can name.
struct FilterField {
  // kChoice: an integer field whose terms name one of `choices` instead of a number.
  enum class Kind { kInteger, kText, kChoice };

  std::string_view name;  // as the table's header shows it; matched ignoring ASCII case
  Kind kind;
  int id;                // passed back to FilterSource
  bool searchedByWords;  // a text field that bare words and phrases look into
  std::span<const FilterChoice> choices = {};
};

// The record table's fields: its fifteen columns by their header names ("#", "CoordX", ...,
// "City"), each with its Column as id; words search Speed, Road and City.
std::span<const FilterField> RecordFields();

// Where a filter reads the values of a row, by field id. Must be safe to read from several
// threads at once.
class FilterSource {
 public:
  virtual ~FilterSource() = default;
  // Rows are numbered from 0 to size() - 1.
  virtual std::size_t size() const = 0;
  virtual std::int32_t Int(std::uint32_t row, int field) const = 0;
  // Raw bytes, as stored.
  virtual std::string_view Text(std::uint32_t row, int field) const = 0;
};

// The rows of a RecordTable, for RecordFields; `table` must outlive the source.
class RecordTableSource final : public FilterSource {
 public:
  explicit RecordTableSource(const RecordTable& table) : table_(table) {}
  std::size_t size() const override { return table_.size(); }
  std::int32_t Int(std::uint32_t row, int field) const override {
    return table_.Int(row, static_cast<Column>(field));
  }
  std::string_view Text(std::uint32_t row, int field) const override {
    return table_.Text(row, static_cast<Column>(field));
  }
  const RecordTable& Table() const { return table_; }

 private:
  const RecordTable& table_;
};

// A parsed filter expression. The default filter, like an empty or blank expression, matches
// every row.
class RecordFilter {
 public:
  // Parses `expression` (UTF-8, or Windows-1252 bytes when not UTF-8) over `fields`, which must
  // outlive the filter. On failure `filter` is left unchanged and the Status tells the reason, for
  // the user: `unknown column 'foo' in 'foo=3'`, `bad number 'x' in 'spd>=x'`, ...
  static Status Parse(std::string_view expression, RecordFilter& filter,
                      std::span<const FilterField> fields = RecordFields());

  bool empty() const { return terms_.empty(); }
  // True when a term reads the field with id `field`.
  bool Reads(int field) const;

 private:
  struct Term {
    bool negated = false;
    bool integer = false;
    std::vector<int> fields;  // the one integer field, or the text fields searched
    std::int64_t low = 0;     // integer terms: the inclusive range a value must lie in
    std::int64_t high = 0;
    std::string folded;        // text terms: the text to contain, case-folded
    bool asciiOnly = false;    // text terms: `folded` is plain ASCII
    bool recordTexts = false;  // text terms: the fields are Speed, Road and City, in order
  };
  // Parses one term: `typed` as written, `text` without its quotes, quoted from `quoteStart` on.
  static Status ParseTerm(std::string_view typed, std::string_view text, std::size_t quoteStart,
                          std::span<const FilterField> fields, Term& term);
  static Status ParseChoice(std::string_view typed, const FilterField& field, std::string_view op,
                            std::string_view value, Term& term);
  // Templates over the source, so the scan of a RecordTableSource makes no virtual calls.
  template <typename Source>
  bool MatchesRow(const Source& source, std::uint32_t row) const;
  template <typename Source>
  static bool TermMatches(const Term& term, const Source& source, std::uint32_t row);
  template <typename Source>
  friend void MarkMatches(const RecordFilter& filter, const Source& source, std::size_t begin,
                          std::size_t end, std::stop_token stop, std::uint8_t* matched);

  std::vector<Term> terms_;
};

// The entries of `order` (rows of `source`) that `filter` matches, in their order in `order`.
// Every row of `source` is tested, in its own order, split across `threads` threads (0:
// WorkThreads()); the scan stops early when `stop` is requested, and then returns nothing.
RowOrder MatchingRows(const RecordFilter& filter, const FilterSource& source,
                      std::span<const std::uint32_t> order, std::stop_token stop = {},
                      unsigned threads = 0);
