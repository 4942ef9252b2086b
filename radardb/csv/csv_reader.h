#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace radardb {

// Splits CSV text into records as RFC 4180 describes them: fields separated by commas, records
// ended by CR LF (or a bare LF, as some spreadsheets write), fields in double quotes may hold
// commas, CR, LF and doubled quotes. A field outside quotes is taken byte for byte.
class CsvReader {
 public:
  enum class Result { kRecord, kEnd, kError };

  // Reads `text`, which is not copied and must outlive the reader. A record of more than
  // `maxFields` fields is refused as soon as its next field begins.
  explicit CsvReader(std::string_view text, std::size_t maxFields = SIZE_MAX)
      : text_(text), maxFields_(maxFields) {}

  // Reads the next record into `fields`. kEnd: no text is left. kError: the record is malformed
  // or has too many fields, error() says why, and the reader must not be used further.
  Result Next(std::vector<std::string>& fields);

  // The line, counting from 1, on which the record last read (or attempted) begins.
  std::size_t line() const { return recordLine_; }
  const std::string& error() const { return error_; }

 private:
  // Reads one field; returns false (error_ set) when it is malformed. `atRecordEnd` tells whether
  // the field ended its record.
  bool ReadField(std::string& field, bool& atRecordEnd);
  // Consumes a record end at pos_, if there is one.
  bool TakeLineEnd();

  std::string_view text_;
  std::size_t maxFields_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::size_t recordLine_ = 0;
  std::string error_;
};

}  // namespace radardb
