#include "radardb/load_database.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_ops.h"
#include "radardb/byte_stream.h"
#include "radardb/lzw_archive.h"
#include "radardb/radar_record.h"

namespace {

constexpr char kErrorOpening[] = "Error opening uncompressed temporary file";
constexpr char kErrorReading[] = "Error reading uncompressed temporary file";

// The record count is a 32-bit number: an expanded database of 4 GiB or more is never whole.
constexpr std::uint64_t kMaxExpandedSize = std::uint64_t{1} << 32;
// Text bytes reserved per row up front; typical rows hold a few dozen.
constexpr std::size_t kTextBytesPerRowGuess = 32;

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

// Decodes records from the expanded bytes as they come, when the archive promises whole
// records (a total of 4 GiB or more never is: totals are 32-bit numbers).
class RecordParser : public LzwOutputSink {
 public:
  explicit RecordParser(RecordTable& rows) : rows_(rows) {}

  void Expect(std::uint64_t total) override {
    parsing_ = total % kRadarRecordSize == 0;
    if (parsing_) {
      const std::size_t count = static_cast<std::size_t>(total / kRadarRecordSize);
      rows_.Reserve(count, count * kTextBytesPerRowGuess);
    }
  }

  bool Write(const unsigned char* data, std::size_t size) override {
    if (!parsing_) return true;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!partial_.empty()) {
      const std::size_t take = std::min(bytes.size(), kRadarRecordSize - partial_.size());
      partial_.append(bytes.substr(0, take));
      bytes.remove_prefix(take);
      if (partial_.size() < kRadarRecordSize) return true;
      Parse(partial_);
      partial_.clear();
    }
    const std::size_t whole = bytes.size() - bytes.size() % kRadarRecordSize;
    Parse(bytes.substr(0, whole));
    partial_.assign(bytes.substr(whole));
    return true;
  }

 private:
  // Appends the rows of the whole records in `bytes`.
  void Parse(std::string_view bytes) {
    ByteStream stream(bytes);
    RadarRecord record;
    for (std::size_t i = 0; i < bytes.size() / kRadarRecordSize; ++i) {
      record.Read(stream);
      rows_.Append(RowInts(record, rows_.size()), record.SpeedText(), record.RoadText(),
                   record.CityText());
    }
  }

  RecordTable& rows_;
  bool parsing_ = false;
  std::string partial_;  // the start of a record whose end is yet to come
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
    outcome.status = Status::Error(kErrorReading);
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
  } catch (const std::bad_alloc&) {
    outcome = LoadOutcome();
    outcome.status = Status::Error(kLzwOutOfMemory);
  }
  return outcome;
}
