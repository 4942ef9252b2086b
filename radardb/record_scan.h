#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/status.h"
#include "radardb/radar_record.h"
#include "radardb/record_table.h"

// Records of an archive and the rows they make: for the loader, and for the tool, which reads
// archives in memory and, for the check, needs each record's raw fields as well.

// The loader's text for expanded bytes that end inside a record.
inline constexpr char kErrorReadingExpanded[] = "Error reading uncompressed temporary file";

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
  // True when the bytes ended inside a record after at least one record's worth.
  bool EndedInsideRecord() const { return !partial_.empty() && total_ >= kRadarRecordSize; }

 private:
  void VisitRecords(std::string_view whole);

  RecordVisitor visit_;
  RadarRecord record_;
  std::string partial_;
  std::size_t count_ = 0;
  std::uint64_t total_ = 0;
};

// Reads the records of the archive at `archivePath` into `rows` (emptied first): the rows
// LoadDatabase makes, and the same texts on failure, but expanded in memory a piece at a time
// (on a second thread) instead of through a temporary file, so nothing is written beside the
// archive. `visit`, when given, also sees each record's raw fields, in order, on the calling
// thread. The expanded bytes count as the loader counts them: fewer than one record's worth is an
// empty database; otherwise bytes left over after the last whole record fail with "Error reading
// uncompressed temporary file" once every whole record has been read. Other failures carry the
// decompressor's texts (lzw_archive.h), "LZW file not found" when the archive cannot be opened;
// `rows` then holds the records read before the failure. When memory runs out: "Out of memory",
// `rows` empty. Memory: the rows and a few megabytes.
Status ReadArchiveRows(const std::string& archivePath, RecordTable& rows,
                       const RecordVisitor& visit = {});
