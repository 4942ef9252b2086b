#include "radardb/records/record_scan.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace radardb {

namespace {

// Text bytes reserved per row up front; typical rows hold a few dozen.
constexpr std::size_t kTextBytesPerRowGuess = 32;
// Rows reserved up front at most: the total is the archive's promise, which a small hostile file
// can make as large as it likes; a larger table grows as its rows come.
constexpr std::size_t kMaxRowsReserved = std::size_t{1} << 22;

}  // namespace

RecordTable::Ints RecordRowInts(const RadarRecord& record, std::size_t index) {
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

void AppendRecordRow(RecordTable& rows, const RadarRecord& record, std::size_t index) {
  rows.Append(RecordRowInts(record, index), record.SpeedText(), record.RoadText(),
              record.CityText());
}

void RecordCutter::Add(std::string_view bytes) {
  if (!partial_.empty()) {
    const std::size_t taken = std::min(bytes.size(), kRadarRecordSize - partial_.size());
    partial_.append(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
    if (partial_.size() < kRadarRecordSize) return;
    VisitRecords(partial_);
    partial_.clear();
  }
  const std::size_t whole = bytes.size() / kRadarRecordSize * kRadarRecordSize;
  VisitRecords(bytes.substr(0, whole));
  partial_.assign(bytes.substr(whole));
}

void RecordCutter::VisitRecords(std::string_view whole) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(whole.data());
  for (std::size_t n = whole.size() / kRadarRecordSize; n > 0; --n) {
    record_.Read(bytes);
    visit_(record_, count_++);
    bytes += kRadarRecordSize;
  }
}

RecordParser::RecordParser(RecordTable& rows, RecordVisitor visit)
    : rows_(rows),
      visit_(std::move(visit)),
      cutter_([this](const RadarRecord& record, std::size_t index) {
        if (visit_) visit_(record, index);
        AppendRecordRow(rows_, record, index);
      }) {}

void RecordParser::Expect(std::uint64_t total) {
  total_ = total;
  parsing_ = total % kRadarRecordSize == 0;
  if (parsing_) {
    const std::size_t count =
        std::min(static_cast<std::size_t>(total / kRadarRecordSize), kMaxRowsReserved);
    rows_.Reserve(count, count * kTextBytesPerRowGuess);
  }
}

bool RecordParser::Write(const unsigned char* data, std::size_t size) {
  if (parsing_) cutter_.Add(std::string_view(reinterpret_cast<const char*>(data), size));
  return true;
}

bool RecordParser::EndsInsideRecord() const {
  return total_ % kRadarRecordSize != 0 && total_ >= kRadarRecordSize;
}

Status ReadArchiveRows(const std::string& archivePath, RecordTable& rows,
                       const RowReading& reading) {
  rows = RecordTable();
  Status status = platform::GuardMemory([&] {
    RecordParser parser(rows, reading.visit);
    Status expanded = DecompressLzw(archivePath, parser, {reading.progress, reading.threads});
    if (expanded.ok() && parser.EndsInsideRecord()) return Status::BadFormat(kEndsInsideRecord);
    return expanded;
  });
  if (!status.ok()) rows = RecordTable();
  return status;
}

}  // namespace radardb
