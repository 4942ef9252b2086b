#include "radardb/csv_export.h"

#include <charconv>
#include <new>

#include "platform/output_file.h"
#include "radardb/lzw_archive.h"

namespace {

constexpr char kQuote = '"';
constexpr std::string_view kCharsNeedingQuotes = ",\"\r\n";
constexpr char kCreateError[] = "Error creating file ";
constexpr char kWriteError[] = "Error writing file ";
constexpr char kCsvExtension[] = ".csv";
#ifdef _WIN32
constexpr char kPathSeparators[] = "\\/:";
#else
constexpr char kPathSeparators[] = "/";
#endif

// Enough for "-9223372036854775808".
constexpr std::size_t kMaxIntChars = 20;
// Lines are gathered up to this many bytes before each write.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;

}  // namespace

void AppendCsvInt(std::int64_t value, std::string& out) {
  char digits[kMaxIntChars];
  const auto result = std::to_chars(digits, digits + kMaxIntChars, value);
  out.append(digits, result.ptr);
}

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

void AppendCsvFields(const RecordTable& rows, std::size_t row, std::string& out) {
  // Every column but "#" is written, in table order.
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    AppendCsvInt(rows.Int(row, static_cast<Column>(c)), out);
    out.push_back(',');
  }
  AppendCsvText(rows.Text(row, Column::kSpeed), out);
  out.push_back(',');
  AppendCsvText(rows.Text(row, Column::kRoad), out);
  out.push_back(',');
  AppendCsvText(rows.Text(row, Column::kCity), out);
}

void AppendCsvRow(const RecordTable& rows, std::size_t row, std::string& out) {
  AppendCsvFields(rows, row, out);
  out.append(kCsvLineEnd);
}

bool FlushCsvChunk(std::string& chunk, std::FILE* out, bool final) {
  if (!final && chunk.size() < kWriteChunk) return true;
  const bool written = std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
  chunk.clear();
  if (!final) return written;
  return written && std::fflush(out) == 0 && std::ferror(out) == 0;
}

bool WriteCsv(const RecordTable& rows, const std::vector<std::uint32_t>* order, std::FILE* out) {
  std::string chunk;
  chunk.reserve(kWriteChunk + kWriteChunk / 4);
  chunk.append(kCsvHeader);
  chunk.append(kCsvLineEnd);
  const std::size_t count = order == nullptr ? rows.size() : order->size();
  for (std::size_t i = 0; i < count; ++i) {
    AppendCsvRow(rows, order == nullptr ? i : (*order)[i], chunk);
    if (!FlushCsvChunk(chunk, out, false)) return false;
  }
  return FlushCsvChunk(chunk, out, true);
}

Status ExportCsvFile(const RecordTable& rows, const std::vector<std::uint32_t>* order,
                     const std::string& path) {
  return WriteCsvFile(path, [&](std::FILE* out) { return WriteCsv(rows, order, out); });
}

Status WriteCsvFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  platform::OutputFile out;
  if (!out.Open(path).ok()) return Status::Error(kCreateError + path);
  try {
    if (!write(out.Stream()) || !out.Commit().ok()) return Status::Error(kWriteError + path);
  } catch (const std::bad_alloc&) {
    return Status::Error(kLzwOutOfMemory);
  }
  return Status();
}

std::string CsvNameFor(const std::string& databasePath) {
  const std::size_t separator = databasePath.find_last_of(kPathSeparators);
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = databasePath.rfind('.');
  const std::size_t cut = dot != std::string::npos && dot >= nameStart ? dot : databasePath.size();
  return databasePath.substr(0, cut) + kCsvExtension;
}
