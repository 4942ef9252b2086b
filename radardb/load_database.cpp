#include "radardb/load_database.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_ops.h"
#include "radardb/lzw_archive.h"
#include "radardb/radar_record.h"
#include "radardb/record_scan.h"

namespace {

constexpr char kErrorOpening[] = "Error opening uncompressed temporary file";

// The record count is a 32-bit number: an expanded database of 4 GiB or more is never whole.
constexpr std::uint64_t kMaxExpandedSize = std::uint64_t{1} << 32;
// Text bytes reserved per row up front; typical rows hold a few dozen.
constexpr std::size_t kTextBytesPerRowGuess = 32;
// Rows reserved up front at most: the total is the archive's promise, which a small hostile file
// can make as large as it likes; a larger table grows as its rows come.
constexpr std::size_t kMaxRowsReserved = std::size_t{1} << 22;

// Reads records from the expanded bytes as they come, when the archive promises whole records (a
// total of 4 GiB or more never is: totals are 32-bit numbers).
class RecordParser : public LzwOutputSink {
 public:
  explicit RecordParser(RecordTable& rows)
      : rows_(rows), cutter_([&rows](const RadarRecord& record, std::size_t index) {
          AppendRecordRow(rows, record, index);
        }) {}

  void Expect(std::uint64_t total) override {
    parsing_ = total % kRadarRecordSize == 0;
    if (parsing_) {
      const std::size_t count =
          std::min(static_cast<std::size_t>(total / kRadarRecordSize), kMaxRowsReserved);
      rows_.Reserve(count, count * kTextBytesPerRowGuess);
    }
  }

  bool Write(const unsigned char* data, std::size_t size) override {
    if (parsing_) cutter_.Add(std::string_view(reinterpret_cast<const char*>(data), size));
    return true;
  }

 private:
  RecordTable& rows_;
  RecordCutter cutter_;
  bool parsing_ = false;
};

// Completes `outcome`, the table already counted as replaced, from the expanded database in
// `file`, whose records `parsed` holds.
void CheckDatabase(std::FILE* file, RecordTable& parsed, const LoadProgress& progress,
                   LoadOutcome& outcome) {
  const std::optional<std::uint64_t> size = platform::StreamSize(file);
  if (!size) {
    outcome.status = Status::Error(kErrorOpening);
    return;
  }
  // Fewer bytes than one record count as an empty database; any other partial record is an error.
  const std::uint64_t count = *size / kRadarRecordSize;
  if (count == 0) {
    outcome.exportEnabled = true;
    return;
  }
  if (*size >= kMaxExpandedSize || count * kRadarRecordSize != *size || parsed.size() != count) {
    outcome.status = Status::Error(kErrorReadingExpanded);
    outcome.exportEnabled = false;
    return;
  }
  if (progress && !progress(LoadStep::kReading, count, count)) {
    outcome = LoadOutcome();
    outcome.status = Status::Cancelled();
    return;
  }
  outcome.rows = std::move(parsed);
  outcome.exportEnabled = true;
}

}  // namespace

LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress,
                         unsigned threads) {
  LoadOutcome outcome;
  try {
    DecompressOptions options;
    options.threads = threads;
    if (progress) {
      options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        return progress(LoadStep::kExpanding, done, total);
      };
    }
    RecordTable parsed;
    RecordParser parser(parsed);
    options.copyTo = &parser;
    platform::File expanded;
    outcome.status = DecompressLzw(archivePath, expanded, options);
    if (!outcome.status.ok()) return outcome;
    outcome.tableReplaced = true;
    CheckDatabase(expanded.get(), parsed, progress, outcome);
    // The rows are out; the window need not wait while the file's pages are freed.
    platform::CloseUnnamedFile(std::move(expanded));
  } catch (const std::bad_alloc&) {
    outcome = LoadOutcome();
    outcome.status = Status::Error(kLzwOutOfMemory);
  }
  return outcome;
}
