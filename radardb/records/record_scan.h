#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "radardb/archive/lzw_archive.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_table.h"

namespace radardb {

// Records of an archive and the rows they make: the one reading path of the window's load, the
// tool's commands, the comparison and the check. Archives are expanded in memory and cut into
// records as the bytes come out; nothing is written to disk.

// The text for expanded bytes that end inside a record.
inline constexpr char kEndsInsideRecord[] = "Database ends inside a record";

// The integers of the table row of `record`, the `index`-th record of its database: "#", then
// "CoordX" to "dir".
RecordTable::Ints RecordRowInts(const RadarRecord& record, std::size_t index);
// Appends the table row of `record`, the `index`-th record of its database, to `rows`.
void AppendRecordRow(RecordTable& rows, const RadarRecord& record, std::size_t index);

// Receives each record with its index; the record is valid only during the call.
using RecordVisitor = std::function<void(const RadarRecord& record, std::size_t index)>;

// Cuts expanded bytes, given a piece at a time, into records for `visit`, keeping the part of a
// record that one piece leaves unfinished for the next.
class RecordCutter {
 public:
  explicit RecordCutter(RecordVisitor visit) : visit_(std::move(visit)) {}

  void Add(std::string_view bytes);

 private:
  void VisitRecords(std::string_view whole);

  RecordVisitor visit_;
  RadarRecord record_;
  std::string partial_;
  std::size_t count_ = 0;
};

// Turns expanded bytes into rows as they come. Told the promised total first: when that is not
// a whole number of records, no row is made (the bytes are only counted), since the records'
// borders cannot be trusted. `rows` must outlive the parser.
class RecordParser : public LzwOutputSink {
 public:
  // `visit`, when given, also sees each record's raw fields, in order.
  explicit RecordParser(RecordTable& rows, RecordVisitor visit = {});
  RecordParser(const RecordParser&) = delete;
  RecordParser& operator=(const RecordParser&) = delete;

  void Expect(std::uint64_t total) override;
  bool Write(const unsigned char* data, std::size_t size) override;

  // True when the promised total ends inside a record after at least one record's worth;
  // fewer bytes than one record count as an empty database.
  bool EndsInsideRecord() const;

 private:
  RecordTable& rows_;
  RecordVisitor visit_;
  RecordCutter cutter_;
  std::uint64_t total_ = 0;
  bool parsing_ = false;
};

// How ReadArchiveRows reads.
struct RowReading {
  // Sees each record's raw fields, in order, on the calling thread, as RecordParser does.
  RecordVisitor visit;
  // Told the bytes expanded so far, of the total; may cancel (see DecompressLzw).
  LzwProgress progress;
  // Threads that decode blocks side by side; 0: WorkThreads().
  unsigned threads = 0;
};

// Reads the records of the archive at `archivePath` into `rows` (emptied first) through a
// RecordParser: DecompressLzw's failures and texts, kEndsInsideRecord when the expanded bytes
// end inside a record, Status::Cancelled() when `reading.progress` stopped it, and "Out of
// memory" when memory ran out. On any failure `rows` is left empty. Memory: the rows and a few
// blocks per thread.
Status ReadArchiveRows(const std::string& archivePath, RecordTable& rows,
                       const RowReading& reading = {});

}  // namespace radardb
