#include "radardb/csv/csv_export.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <memory>
#include <new>

#include "platform/file_ops.h"
#include "platform/output_file.h"
#include "platform/work_crew.h"

namespace radardb {

namespace {

constexpr char kQuote = '"';
constexpr char kCreateError[] = "Error creating file ";
constexpr char kWriteError[] = "Error writing file ";
constexpr char kCsvExtension[] = ".csv";

// Enough for "-9223372036854775808".
constexpr std::size_t kMaxIntChars = 20;
// Lines are gathered up to this many bytes before each write.
constexpr std::size_t kWriteChunk = std::size_t{1} << 20;
// Rows formatted as one piece of work when the lines are formatted side by side (about 1 MB).
constexpr std::size_t kRowsPerPiece = 8192;
// Pieces formatted or waiting to be written, per thread.
constexpr std::size_t kPiecesPerThread = 3;

// A text holding a comma, a double quote, CR or LF is quoted. (A plain loop: find_first_of
// looks each byte up in a set with a call of its own, a large share of the export's time.)
bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == kQuote || c == '\r' || c == '\n') return true;
  }
  return false;
}

bool WriteText(const std::string& text, std::FILE* out) {
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

// The record lines of the rows at positions `begin` to `end` of the written order. Each piece
// keeps to cache lines of its own, which the thread formatting it writes.
class alignas(64) CsvPiece : public platform::WorkJob {
 public:
  CsvPiece(const RecordTable& rows, const RowOrder* order) : rows_(rows), order_(order) {}

  void Run(unsigned /*thread*/) override {
    text.clear();
    for (std::size_t i = begin; i < end; ++i) {
      AppendCsvRow(rows_, order_ == nullptr ? i : (*order_)[i], text);
    }
  }

  std::size_t begin = 0;
  std::size_t end = 0;
  std::string text;

 private:
  const RecordTable& rows_;
  const RowOrder* order_;
};

// Writes the record lines of `count` rows, formatted a piece at a time on `threads` threads and
// written in order.
bool WriteRowsSideBySide(const RecordTable& rows, const RowOrder* order, std::size_t count,
                         unsigned threads, std::FILE* out) {
  std::vector<std::unique_ptr<CsvPiece>> pieces;
  std::vector<CsvPiece*> idle;
  std::deque<CsvPiece*> inFlight;
  platform::WorkCrew crew(threads);  // after the pieces, so it is gone before they are
  for (std::size_t i = 0; i < crew.Threads() * kPiecesPerThread; ++i) {
    pieces.push_back(std::make_unique<CsvPiece>(rows, order));
    idle.push_back(pieces.back().get());
  }
  for (std::size_t next = 0;;) {
    for (; next < count && !idle.empty(); next += kRowsPerPiece) {
      CsvPiece& piece = *idle.back();
      idle.pop_back();
      piece.begin = next;
      piece.end = std::min(count, next + kRowsPerPiece);
      crew.Queue(piece);
      inFlight.push_back(&piece);
    }
    if (inFlight.empty()) return true;
    CsvPiece& piece = *inFlight.front();
    crew.Wait(piece);
    if (!WriteText(piece.text, out)) return false;
    inFlight.pop_front();
    idle.push_back(&piece);
  }
}

}  // namespace

void AppendCsvInt(std::int64_t value, std::string& out) {
  char digits[kMaxIntChars];
  const auto result = std::to_chars(digits, digits + kMaxIntChars, value);
  out.append(digits, result.ptr);
}

void AppendCsvText(std::string_view text, std::string& out) {
  if (!NeedsQuotes(text)) {
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
  // Every column but "#" is written, in table order: the numbers first, gathered in one piece.
  char numbers[kIntColumnCount * (kMaxIntChars + 1)];
  char* at = numbers;
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    at = std::to_chars(at, at + kMaxIntChars, rows.Int(row, static_cast<Column>(c))).ptr;
    *at++ = ',';
  }
  out.append(numbers, at);
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
  const bool written = WriteText(chunk, out);
  chunk.clear();
  if (!final) return written;
  return written && std::fflush(out) == 0 && std::ferror(out) == 0;
}

bool WriteCsv(const RecordTable& rows, const RowOrder* order, std::FILE* out, unsigned threads) {
  if (threads == 0) threads = platform::WorkThreads();
  std::string chunk;
  chunk.reserve(kWriteChunk + kWriteChunk / 4);
  chunk.append(kCsvHeader);
  chunk.append(kCsvLineEnd);
  const std::size_t count = order == nullptr ? rows.size() : order->size();
  if (threads > 1 && count > kRowsPerPiece) {
    if (!WriteText(chunk, out) || !WriteRowsSideBySide(rows, order, count, threads, out)) {
      return false;
    }
    chunk.clear();
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      AppendCsvRow(rows, order == nullptr ? i : (*order)[i], chunk);
      if (!FlushCsvChunk(chunk, out, false)) return false;
    }
  }
  return FlushCsvChunk(chunk, out, true);
}

Status ExportCsvFile(const RecordTable& rows, const RowOrder* order, const std::string& path) {
  return WriteCsvFile(path, [&](std::FILE* out) { return WriteCsv(rows, order, out); });
}

Status WriteCsvFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  platform::OutputFile out;
  if (!out.Open(path).ok()) return Status::WriteError(kCreateError + path);
  return platform::GuardMemory([&] {
    if (!write(out.Stream()) || !out.Commit().ok()) return Status::WriteError(kWriteError + path);
    return Status();
  });
}

std::string CsvNameFor(const std::string& databasePath) {
  const std::size_t nameStart = platform::FolderOf(databasePath).size();
  const std::size_t dot = databasePath.rfind('.');
  const std::size_t cut = dot != std::string::npos && dot >= nameStart ? dot : databasePath.size();
  return databasePath.substr(0, cut) + kCsvExtension;
}

}  // namespace radardb
