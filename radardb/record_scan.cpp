#include "radardb/record_scan.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <string_view>
#include <thread>

#include "radardb/lzw_archive.h"

namespace {

// Pieces of expanded bytes (about a megabyte each) on their way from the decoder to the reader.
constexpr std::size_t kPiecesInFlight = 4;

// Hands pieces of expanded bytes from the decoding thread to the reading thread through a few
// buffers that travel back and forth, so memory stays bounded and nothing is allocated per piece.
class Handover {
 public:
  explicit Handover(std::size_t buffers) : empty_(buffers) {}

  // Decoding side: an empty buffer (waits for one), then the same buffer filled. False once the
  // reading side has given up.
  bool TakeEmpty(std::string& buffer) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !empty_.empty() || abandoned_; });
    if (abandoned_) return false;
    buffer = std::move(empty_.front());
    empty_.pop_front();
    return true;
  }
  void PutFilled(std::string buffer) {
    const std::lock_guard lock(mutex_);
    filled_.push_back(std::move(buffer));
    changed_.notify_all();
  }
  // No more buffers will be filled.
  void Finish() {
    const std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
  }

  // Reading side: the next filled buffer; false once everything filled has been taken.
  bool TakeFilled(std::string& buffer) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !filled_.empty() || finished_; });
    if (filled_.empty()) return false;
    buffer = std::move(filled_.front());
    filled_.pop_front();
    changed_.notify_all();
    return true;
  }
  void PutEmpty(std::string buffer) {
    const std::lock_guard lock(mutex_);
    empty_.push_back(std::move(buffer));
    changed_.notify_all();
  }
  // The reading side stops taking pieces; the decoding side is refused the next buffer.
  void Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> empty_;
  std::deque<std::string> filled_;
  bool finished_ = false;
  bool abandoned_ = false;
};

class HandoverSink : public LzwOutputSink {
 public:
  explicit HandoverSink(Handover& handover) : handover_(handover) {}
  bool Write(const unsigned char* data, std::size_t size) override {
    std::string buffer;
    if (!handover_.TakeEmpty(buffer)) return false;
    buffer.assign(reinterpret_cast<const char*>(data), size);
    handover_.PutFilled(std::move(buffer));
    return true;
  }

 private:
  Handover& handover_;
};

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
  total_ += bytes.size();
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

Status ReadArchiveRows(const std::string& archivePath, RecordTable& rows,
                       const RecordVisitor& visit) {
  rows = RecordTable();
  Handover handover(kPiecesInFlight);
  Status expanded;
  // The archive is expanded on a thread of its own while this one cuts and reads the records.
  std::thread decoder([&] {
    HandoverSink sink(handover);
    expanded = ExpandLzwArchive(archivePath, sink);
    handover.Finish();
  });
  RecordCutter cutter([&](const RadarRecord& record, std::size_t index) {
    if (visit) visit(record, index);
    AppendRecordRow(rows, record, index);
  });
  bool outOfMemory = false;
  try {
    std::string piece;
    while (handover.TakeFilled(piece)) {
      cutter.Add(piece);
      handover.PutEmpty(std::move(piece));
    }
  } catch (const std::bad_alloc&) {
    handover.Abandon();
    outOfMemory = true;
  }
  decoder.join();
  if (outOfMemory) {
    rows = RecordTable();
    return Status::Error(kLzwOutOfMemory);
  }
  if (!expanded.ok()) return expanded;
  if (cutter.EndedInsideRecord()) return Status::Error(kErrorReadingExpanded);
  return Status();
}
