#include "radardb/load_database.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "platform/file_ops.h"
#include "radardb/byte_stream.h"
#include "radardb/lzw_archive.h"
#include "radardb/radar_record.h"
#include "radardb/record_scan.h"

namespace {

constexpr char kErrorOpening[] = "Error opening uncompressed temporary file";
constexpr char kErrorReading[] = "Error reading uncompressed temporary file";

// The record count is a 32-bit number: an expanded database of 4 GiB or more is never whole.
constexpr std::uint64_t kMaxExpandedSize = std::uint64_t{1} << 32;
// Text bytes reserved per row up front; typical rows hold a few dozen.
constexpr std::size_t kTextBytesPerRowGuess = 32;
// Progress is reported after every this many records.
constexpr std::size_t kProgressInterval = 16384;

enum class ReadResult { kComplete, kShort, kCancelled };

// Reads `count` records into `rows`, stopping at the first that cannot be read in full.
ReadResult ReadRecords(std::FILE* file, std::size_t count, RecordTable& rows,
                       const LoadProgress& progress) {
  rows.Reserve(count, count * kTextBytesPerRowGuess);
  ByteStream stream(file);
  RadarRecord record;
  for (std::size_t i = 0; i < count; ++i) {
    if (progress && i % kProgressInterval == 0 && !progress(LoadStep::kReading, i, count)) {
      return ReadResult::kCancelled;
    }
    if (!record.Read(stream)) return ReadResult::kShort;
    rows.Append(RecordRowInts(record, i), record.SpeedText(), record.RoadText(), record.CityText());
  }
  if (progress && !progress(LoadStep::kReading, count, count)) return ReadResult::kCancelled;
  return ReadResult::kComplete;
}

// Reads the expanded database in `file` into `outcome`, the table already counted as replaced.
void ReadDatabase(std::FILE* file, const LoadProgress& progress, LoadOutcome& outcome) {
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
  if (*size >= kMaxExpandedSize || count * kRadarRecordSize != *size) {
    outcome.status = Status::Error(kErrorReading);
    outcome.exportEnabled = false;
    return;
  }
  switch (ReadRecords(file, static_cast<std::size_t>(count), outcome.rows, progress)) {
    case ReadResult::kComplete:
      outcome.exportEnabled = true;
      return;
    case ReadResult::kShort:
      outcome.status = Status::Error(kErrorReading);
      outcome.exportEnabled = false;
      return;
    case ReadResult::kCancelled:
      outcome = LoadOutcome();
      outcome.status = Status::Cancelled();
      return;
  }
}

}  // namespace

LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress) {
  LoadOutcome outcome;
  try {
    DecompressOptions options;
    if (progress) {
      options.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        return progress(LoadStep::kExpanding, done, total);
      };
    }
    platform::File expanded;
    outcome.status = DecompressLzw(archivePath, expanded, options);
    if (!outcome.status.ok()) return outcome;
    outcome.tableReplaced = true;
    ReadDatabase(expanded.get(), progress, outcome);
  } catch (const std::bad_alloc&) {
    outcome = LoadOutcome();
    outcome.status = Status::Error(kLzwOutOfMemory);
  }
  return outcome;
}
