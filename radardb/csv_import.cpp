#include "radardb/csv_import.h"

#include <algorithm>
#include <vector>

#include "radardb/csv_format.h"
#include "radardb/csv_reader.h"
#include "radardb/radar_record.h"
#include "radardb/record_builder.h"

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string joined;
  for (const std::string& field : fields) {
    if (!joined.empty()) joined.push_back(',');
    joined += field;
  }
  return joined;
}

std::string AtLine(std::size_t line, const std::string& reason) {
  return "line " + std::to_string(line) + ": " + reason;
}

}  // namespace

std::string CsvToRecords(std::string_view csv, std::string& records) {
  // Spreadsheets saving "CSV UTF-8" put a byte-order mark first.
  if (csv.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
    csv.remove_prefix(kUtf8ByteOrderMark.size());
  }
  CsvReader reader(csv);
  std::vector<std::string> fields;
  switch (reader.Next(fields)) {
    case CsvReader::Result::kEnd:
      return AtLine(reader.line(), "the header line is missing");
    case CsvReader::Result::kError:
      return AtLine(reader.line(), reader.error());
    case CsvReader::Result::kRecord:
      if (JoinFields(fields) != kCsvHeader || fields.size() != kCsvFieldCount) {
        return AtLine(reader.line(), "the header line must be " + std::string(kCsvHeader));
      }
      break;
  }
  // One record per line end at most; quoted texts holding line ends make it fewer.
  records.reserve(records.size() +
                  static_cast<std::size_t>(std::count(csv.begin(), csv.end(), '\n')) *
                      kRadarRecordSize);
  RadarRecord record;
  for (;;) {
    switch (reader.Next(fields)) {
      case CsvReader::Result::kEnd:
        return "";
      case CsvReader::Result::kError:
        return AtLine(reader.line(), reader.error());
      case CsvReader::Result::kRecord:
        break;
    }
    const std::string error = BuildRecord(fields, record);
    if (!error.empty()) return AtLine(reader.line(), error);
    record.AppendTo(records);
  }
}
