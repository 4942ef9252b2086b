// Fuzz target: feeds arbitrary bytes to the CSV import as a whole file. Any input must give a
// result without crashing, hanging or touching memory outside its buffers, and a file that is
// accepted must survive a round trip: its records, exported as the window and the tool export
// them and imported again, give the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "radardb/csv/csv_export.h"
#include "radardb/csv/csv_import.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "radardb/records/record_table.h"

using namespace radardb;

namespace {

// The CSV the export writes for `records`, as the loader decodes them.
std::string ExportedCsv(const std::string& records) {
  RecordTable rows;
  RecordCutter cutter([&rows](const RadarRecord& record, std::size_t index) {
    AppendRecordRow(rows, record, index);
  });
  cutter.Add(records);
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
  FuzzCheck(records.size() % kRadarRecordSize == 0, "an accepted CSV makes whole records");
  std::string again;
  FuzzCheck(CsvToRecords(ExportedCsv(records), again).ok() && again == records,
            "the export of the records imports to the same records");
  return 0;
}
