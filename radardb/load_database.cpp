#include "radardb/load_database.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/file_ops.h"
#include "radardb/byte_stream.h"
#include "radardb/lzw_archive.h"
#include "radardb/radar_record.h"

namespace {

constexpr char kErrorOpening[] = "Error opening uncompressed temporary file";
constexpr char kErrorReading[] = "Error reading uncompressed temporary file";

// The record count is a 32-bit number: an expanded database of 4 GiB or more is never whole.
constexpr std::uintmax_t kMaxExpandedSize = std::uintmax_t{1} << 32;
// Text bytes reserved per row up front; typical rows hold a few dozen.
constexpr std::size_t kTextBytesPerRowGuess = 32;
// Progress is reported after every this many records.
constexpr std::size_t kProgressInterval = 16384;

// Deletes the file the decompressor created (and only that one) when the load is over.
class TempFileRemover {
 public:
  explicit TempFileRemover(const std::string& path) : path_(path) {}
  TempFileRemover(const TempFileRemover&) = delete;
  TempFileRemover& operator=(const TempFileRemover&) = delete;
  ~TempFileRemover() {
    if (!path_.empty()) platform::DeleteFile(path_);
  }

 private:
  std::string path_;
};

RecordTable::Ints RowInts(const RadarRecord& record, std::size_t index) {
  return {static_cast<std::int32_t>(index),
          record.GetCoordX(),
          record.GetCoordY(),
          record.SS,
          record.MS,
          record.LS,
          record.X,
          record.Y,
          record.GetSc(),
          record.GetMph(),
          record.GetSpd(),
          record.GetDir()};
}

// Reads `count` records into `rows`. Returns false when a record could not be read in full.
bool ReadRecords(std::FILE* file, std::size_t count, RecordTable& rows,
                 const LoadProgress& progress) {
  rows.Reserve(count, count * kTextBytesPerRowGuess);
  ByteStream stream(file);
  RadarRecord record;
  for (std::size_t i = 0; i < count; ++i) {
    if (progress && i % kProgressInterval == 0) progress(i, count);
    if (!record.Read(stream)) return false;
    rows.Append(RowInts(record, i), record.SpeedText(), record.RoadText(), record.CityText());
  }
  if (progress) progress(count, count);
  return true;
}

}  // namespace

LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress) {
  LoadOutcome outcome;
  std::string tempPath;
  const Status expanded = DecompressLzw(archivePath, tempPath);
  const TempFileRemover remover(tempPath);
  if (!expanded.ok()) {
    outcome.status = expanded;
    return outcome;
  }
  outcome.tableReplaced = true;

  const platform::File file = platform::OpenFile(tempPath, "rb");
  std::error_code sizeError;
  const std::uintmax_t size = file ? std::filesystem::file_size(tempPath, sizeError) : 0;
  if (!file || sizeError) {
    outcome.status = Status::Error(kErrorOpening);
    return outcome;
  }

  // Fewer bytes than one record count as an empty database; any other partial record is an error.
  const std::uintmax_t count = size / kRadarRecordSize;
  if (count == 0) {
    outcome.exportEnabled = true;
    return outcome;
  }
  if (size >= kMaxExpandedSize || count * kRadarRecordSize != size) {
    outcome.status = Status::Error(kErrorReading);
    outcome.exportEnabled = false;
    return outcome;
  }
  const bool complete = ReadRecords(file.get(), count, outcome.rows, progress);
  if (!complete) outcome.status = Status::Error(kErrorReading);
  outcome.exportEnabled = complete;
  return outcome;
}
