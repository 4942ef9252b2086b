// Fuzz target: feeds arbitrary bytes to the CSV import as a whole file. Any input must give a
// result without crashing, hanging or touching memory outside its buffers, and a file that is
// accepted must survive a round trip: its records, exported as the window and the tool export
// them and imported again, give the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "radardb/byte_stream.h"
#include "radardb/csv_export.h"
#include "radardb/csv_import.h"
#include "radardb/radar_record.h"
#include "radardb/record_table.h"

namespace {

// The CSV the export writes for `records`, as the loader decodes them.
std::string ExportedCsv(const std::string& records) {
  ByteStream stream(records);
  RecordTable rows;
  RadarRecord record;
  for (std::size_t i = 0; record.Read(stream); ++i) {
    rows.Append({static_cast<std::int32_t>(i), record.GetCoordX(), record.GetCoordY(), record.SS,
                 record.MS, record.LS, record.X, record.Y, record.GetSc(), record.GetMph(),
                 record.GetSpd(), record.GetDir()},
                record.SpeedText(), record.RoadText(), record.CityText());
  }
  std::string csv(kCsvHeader);
  csv += kCsvLineEnd;
  for (std::size_t row = 0; row < rows.size(); ++row) AppendCsvRow(rows, row, csv);
  return csv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string records;
  if (!CsvToRecords(std::string_view(reinterpret_cast<const char*>(data), size), records).ok()) {
    return 0;
  }
  std::string again;
  if (records.size() % kRadarRecordSize != 0 || !CsvToRecords(ExportedCsv(records), again).ok() ||
      again != records) {
    std::abort();
  }
  return 0;
}
