#include "radardb/csv_format.h"

#include <charconv>

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kCharsNeedingQuotes = ",\"\r\n";

// Enough for "-2147483648".
constexpr std::size_t kMaxIntChars = 11;

void AppendInt(std::int32_t value, std::string& out) {
  char digits[kMaxIntChars];
  const auto result = std::to_chars(digits, digits + kMaxIntChars, value);
  out.append(digits, result.ptr);
}

}  // namespace

void AppendCsvText(std::string_view text, std::string& out) {
  if (text.find_first_of(kCharsNeedingQuotes) == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.push_back(kQuote);
  for (const char c : text) {
    if (c == kQuote) out.push_back(kQuote);
    out.push_back(c);
  }
  out.push_back(kQuote);
}

void AppendCsvRow(const RecordTable& rows, std::size_t row, std::string& out) {
  // Every column but "#" is written, in table order.
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    AppendInt(rows.Int(row, static_cast<Column>(c)), out);
    out.push_back(',');
  }
  AppendCsvText(rows.Text(row, Column::kSpeed), out);
  out.push_back(',');
  AppendCsvText(rows.Text(row, Column::kRoad), out);
  out.push_back(',');
  AppendCsvText(rows.Text(row, Column::kCity), out);
  out.append(kCsvLineEnd);
}
