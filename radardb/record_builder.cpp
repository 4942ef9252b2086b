#include "radardb/record_builder.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

#include "radardb/csv_format.h"

namespace {

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

// Parses a decimal integer from `lowest` to `highest` into `value`; "" or the reason it is not.
std::string ParseInt(const std::vector<std::string>& fields, Field field, std::int64_t lowest,
                     std::int64_t highest, std::int64_t& value) {
  const std::string& text = fields[field];
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc() && result.ptr == text.data() + text.size() && value >= lowest &&
      value <= highest) {
    return "";
  }
  return std::string(kFieldNames[field]) + " must be a whole number from " +
         std::to_string(lowest) + " to " + std::to_string(highest) + ", not \"" + text + "\"";
}

std::string CopyText(const std::vector<std::string>& fields, Field field, char* dest,
                     std::size_t size) {
  const std::string& text = fields[field];
  if (text.size() > size) {
    return std::string(kFieldNames[field]) + " is " + std::to_string(text.size()) +
           " bytes long, more than the " + std::to_string(size) + " its field holds";
  }
  if (text.find('\0') != std::string::npos) {
    return std::string(kFieldNames[field]) + " holds a zero byte, which would end it early";
  }
  std::memset(dest, 0, size);
  std::memcpy(dest, text.data(), text.size());
  return "";
}

std::string CoordMismatch(const char* name, const char* sources, std::int64_t given,
                          std::int32_t derived) {
  return std::string(name) + " is " + std::to_string(given) + " but " + sources + " give " +
         std::to_string(derived);
}

}  // namespace

std::optional<std::uint32_t> RawDirectionFor(std::int32_t degrees) {
  static const DirectionTable table = MakeDirectionTable();
  if (degrees < kLowestDegrees || degrees > kHighestDegrees) return std::nullopt;
  return table[degrees - kLowestDegrees];
}

std::string BuildRecord(const std::vector<std::string>& fields, RadarRecord& record) {
  if (fields.size() != kCsvFieldCount) {
    return "expected " + std::to_string(kCsvFieldCount) + " fields, found " +
           std::to_string(fields.size());
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
    std::string error =
        ParseInt(fields, range.field, range.lowest, range.highest, values[range.field]);
    if (!error.empty()) return error;
  }
  const std::optional<std::uint32_t> rawDir =
      RawDirectionFor(static_cast<std::int32_t>(values[kDir]));
  if (!rawDir) return "dir " + fields[kDir] + " is not a direction a record can hold";

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

  std::string error = CopyText(fields, kSpeedText, record.Speed, kSpeedFieldSize);
  if (error.empty()) error = CopyText(fields, kRoadText, record.Road, kRoadFieldSize);
  if (error.empty()) error = CopyText(fields, kCityText, record.City, kCityFieldSize);
  return error;
}
