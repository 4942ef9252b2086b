#include "radardb/csv/csv_import.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "radardb/csv/csv_export.h"
#include "radardb/csv/csv_reader.h"
#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// An archive counts its expanded bytes in 32 bits.
constexpr std::uint64_t kMaxRecordBytes = UINT32_MAX;

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string joined;
  for (const std::string& field : fields) {
    if (!joined.empty()) joined.push_back(',');
    joined += field;
  }
  return joined;
}

Status AtLine(std::size_t line, const std::string& reason) {
  return Status::BadFormat("line " + std::to_string(line) + ": " + reason);
}

// Every decoded direction lies in -180..289, or is 360.
constexpr std::int32_t kLowestDegrees = -180;
constexpr std::int32_t kHighestDegrees = 360;

enum Field {
  kCoordX,
  kCoordY,
  kSS,
  kMS,
  kLS,
  kX,
  kY,
  kSubcat,
  kMph,
  kSpeed,
  kDir,
  kSpeedText,
  kRoadText,
  kCityText
};
constexpr const char* kFieldNames[kCsvFieldCount] = {"CoordX", "CoordY", "SS",     "MS",  "LS",
                                                     "X",      "Y",      "subcat", "mph", "speed",
                                                     "dir",    "Speed",  "Road",   "City"};

using DirectionTable =
    std::array<std::optional<std::uint32_t>, kHighestDegrees - kLowestDegrees + 1>;

DirectionTable MakeDirectionTable() {
  DirectionTable table;
  // Counting down leaves the smallest raw value for each angle.
  for (std::uint32_t raw = kDirectionCount; raw-- > 0;) {
    table[DecodeDirection(raw) - kLowestDegrees] = raw;
  }
  return table;
}

// Parses a decimal integer from `lowest` to `highest` into `value`.
Status ParseInt(const std::vector<std::string>& fields, Field field, std::int64_t lowest,
                std::int64_t highest, std::int64_t& value) {
  const std::string& text = fields[field];
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc() && result.ptr == text.data() + text.size() && value >= lowest &&
      value <= highest) {
    return Status();
  }
  return Status::BadFormat(std::string(kFieldNames[field]) + " must be a whole number from " +
                           std::to_string(lowest) + " to " + std::to_string(highest) + ", not \"" +
                           PrintableText(text) + "\"");
}

Status CopyText(const std::vector<std::string>& fields, Field field, char* dest, std::size_t size) {
  const std::string& text = fields[field];
  if (text.size() > size) {
    return Status::BadFormat(std::string(kFieldNames[field]) + " is " +
                             std::to_string(text.size()) + " bytes long, more than the " +
                             std::to_string(size) + " its field holds");
  }
  if (text.find('\0') != std::string::npos) {
    return Status::BadFormat(std::string(kFieldNames[field]) +
                             " holds a zero byte, which would end it early");
  }
  std::memset(dest, 0, size);
  std::memcpy(dest, text.data(), text.size());
  return Status();
}

Status CoordMismatch(const char* name, const char* sources, std::int64_t given,
                     std::int32_t derived) {
  return Status::BadFormat(std::string(name) + " is " + std::to_string(given) + " but " + sources +
                           " give " + std::to_string(derived));
}

}  // namespace

std::optional<std::uint32_t> RawDirectionFor(std::int32_t degrees) {
  static const DirectionTable table = MakeDirectionTable();
  if (degrees < kLowestDegrees || degrees > kHighestDegrees) return std::nullopt;
  return table[degrees - kLowestDegrees];
}

Status BuildRecord(const std::vector<std::string>& fields, RadarRecord& record) {
  if (fields.size() != kCsvFieldCount) {
    return Status::BadFormat("expected " + std::to_string(kCsvFieldCount) + " fields, found " +
                             std::to_string(fields.size()));
  }
  struct Range {
    Field field;
    std::int64_t lowest, highest;
  };
  static constexpr Range kRanges[] = {{kCoordX, INT32_MIN, INT32_MAX},
                                      {kCoordY, INT32_MIN, INT32_MAX},
                                      {kSS, 0, UINT8_MAX},
                                      {kMS, 0, UINT8_MAX},
                                      {kLS, 0, UINT16_MAX},
                                      {kX, 0, UINT16_MAX},
                                      {kY, 0, UINT16_MAX},
                                      {kSubcat, 0, kSubcatMask},
                                      {kMph, 0, kMphMask},
                                      {kSpeed, 0, kSpeedMask},
                                      {kDir, kLowestDegrees, kHighestDegrees}};
  std::int64_t values[kDir + 1] = {};
  for (const Range& range : kRanges) {
    Status status = ParseInt(fields, range.field, range.lowest, range.highest, values[range.field]);
    if (!status.ok()) return status;
  }
  const std::optional<std::uint32_t> rawDir =
      RawDirectionFor(static_cast<std::int32_t>(values[kDir]));
  if (!rawDir) {
    return Status::BadFormat("dir " + PrintableText(fields[kDir]) +
                             " is not a direction a record can hold");
  }

  record.SS = static_cast<std::uint8_t>(values[kSS]);
  record.MS = static_cast<std::uint8_t>(values[kMS]);
  record.LS = static_cast<std::uint16_t>(values[kLS]);
  record.X = static_cast<std::uint16_t>(values[kX]);
  record.Y = static_cast<std::uint16_t>(values[kY]);
  record.packed = static_cast<std::uint32_t>(values[kSubcat]) << kSubcatShift |
                  static_cast<std::uint32_t>(values[kMph]) << kMphShift |
                  static_cast<std::uint32_t>(values[kSpeed]) << kSpeedShift |
                  *rawDir << kDirectionShift;
  if (record.GetCoordX() != values[kCoordX]) {
    return CoordMismatch("CoordX", "SS, MS, LS and X", values[kCoordX], record.GetCoordX());
  }
  if (record.GetCoordY() != values[kCoordY]) {
    return CoordMismatch("CoordY", "SS, MS, LS and Y", values[kCoordY], record.GetCoordY());
  }

  Status status = CopyText(fields, kSpeedText, record.Speed, kSpeedFieldSize);
  if (status.ok()) status = CopyText(fields, kRoadText, record.Road, kRoadFieldSize);
  if (status.ok()) status = CopyText(fields, kCityText, record.City, kCityFieldSize);
  return status;
}

namespace {

bool IsBlankLine(const std::vector<std::string>& fields) {
  return fields.size() == 1 && fields[0].empty();
}

Status ReadRecords(std::string_view csv, std::string& records) {
  // Spreadsheets saving "CSV UTF-8" put a byte-order mark first.
  if (csv.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
    csv.remove_prefix(kUtf8ByteOrderMark.size());
  }
  CsvReader reader(csv, kCsvFieldCount);
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
  RadarRecord record;
  // Blank lines may end the file, as spreadsheets often save it; before a record they are errors.
  Status blankLine;
  for (;;) {
    switch (reader.Next(fields)) {
      case CsvReader::Result::kEnd:
        return Status();
      case CsvReader::Result::kError:
        return blankLine.ok() ? AtLine(reader.line(), reader.error()) : blankLine;
      case CsvReader::Result::kRecord:
        break;
    }
    if (IsBlankLine(fields)) {
      if (blankLine.ok()) blankLine = AtLine(reader.line(), BuildRecord(fields, record).message());
      continue;
    }
    if (!blankLine.ok()) return blankLine;
    const Status built = BuildRecord(fields, record);
    if (!built.ok()) return AtLine(reader.line(), built.message());
    if (records.size() + kRadarRecordSize > kMaxRecordBytes) {
      return AtLine(reader.line(), "more records than an archive holds (4 GiB at most)");
    }
    record.AppendTo(records);
  }
}

}  // namespace

Status CsvToRecords(std::string_view csv, std::string& records) {
  const Status status = platform::GuardMemory([&] { return ReadRecords(csv, records); });
  if (status.code() == platform::StatusCode::kOutOfMemory) records = std::string();
  return status;
}

}  // namespace radardb
