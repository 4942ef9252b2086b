#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/records/position_index.h"
#include "radardb/records/record_table.h"
#include "radardb/records/row_source.h"

namespace radardb {

using platform::Status;

// The filter language of the window's filter field and of `kestrolan-db export --filter`.
// Terms separated by blanks must all match a row:
//   word, "a phrase"     contained in any text field searched by words (Speed, Road, City)
//   road:A3, city:"Bad Orb"
//                        contained in that text field
//   spd>=100, dir=-10..10
//                        an integer field compared with =, !=, <, <=, >, >= or within the
//                        inclusive range A..B (with = or !=); spd:100 means spd=100
//   change:moved         a choice field (below) holding the value its word names; with != not
//   finding:duplicate    a field of flags (below) holding the one its word names; with != not
//   near:X,Y,R           the grid position (CoordX, CoordY) lies within R grid units of (X, Y),
//                        by straight-line distance, the edge included (WithinRadius); R >= 0
//   -term                the term must not match
// Field names and the words of choice fields ignore letter case; texts are compared as they read
// (database_text.h), ignoring letter case.

// A parsed filter expression. The default filter, like an empty or blank expression, matches
// every row.
class RecordFilter {
 public:
  // Parses `expression` (UTF-8, or Windows-1252 bytes when not UTF-8) over `fields`, which must
  // outlive the filter. On failure `filter` is left unchanged and the Status tells the reason, for
  // the user: `unknown column 'foo' in 'foo=3'`, `bad number 'x' in 'spd>=x'`, ...
  static Status Parse(std::string_view expression, RecordFilter& filter,
                      std::span<const RowField> fields = RecordFields());

  bool empty() const { return terms_.empty(); }
  // True when a term reads the field with id `field`.
  bool Reads(int field) const;
  // Whether the filter matches row `row` of `source` (fields as parsed over).
  bool Matches(const RowSource& source, std::uint32_t row) const;

  // A place every matching row lies near: the first near: term that is not negated.
  struct Place {
    std::int32_t x;
    std::int32_t y;
    std::int64_t radius;
  };
  std::optional<Place> RequiredPlace() const;

 private:
  struct Term {
    bool negated = false;
    bool integer = false;
    bool anyBit = false;  // integer terms of a field of flags: the value shares a bit with `low`
    std::vector<int> fields;  // the one integer field, or the text fields searched
    std::int64_t low = 0;     // integer terms: the inclusive range a value must lie in
    std::int64_t high = 0;
    std::string folded;        // text terms: the text to contain, case-folded
    bool asciiOnly = false;    // text terms: `folded` is plain ASCII
    bool recordTexts = false;  // text terms: the fields are Speed, Road and City, in order
    bool near = false;         // near: terms: fields are CoordX and CoordY; `place` is set
    Place place{};
  };
  // Parses one term: `typed` as written, `text` without its quotes, quoted from `quoteStart` on.
  static Status ParseTerm(std::string_view typed, std::string_view text, std::size_t quoteStart,
                          std::span<const RowField> fields, Term& term);
  static Status ParseChoice(std::string_view typed, const RowField& field, std::string_view op,
                            std::string_view value, Term& term);
  static Status ParseNear(std::string_view typed, std::string_view op, std::string_view value,
                          std::span<const RowField> fields, Term& term);
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
RowOrder MatchingRows(const RecordFilter& filter, const RowSource& source,
                      std::span<const std::uint32_t> order, std::stop_token stop = {},
                      unsigned threads = 0);
// The same, but when the filter has a RequiredPlace and `positions` indexes every row of
// `source`, only the rows `positions` finds near it are tested, not every row.
RowOrder MatchingRows(const RecordFilter& filter, const RowSource& source,
                      std::span<const std::uint32_t> order, const PositionIndex& positions,
                      std::stop_token stop = {});

}  // namespace radardb
