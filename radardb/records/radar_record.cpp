#include "radardb/records/radar_record.h"

#include <array>
#include <cstring>

namespace radardb {

namespace {

// LS carries both grid digits of weight 256: LS mod 28 for the column, LS div 28 for the row.
constexpr std::uint32_t kLsColumns = 28;
constexpr std::uint32_t kNibble = 16;
constexpr std::int32_t kSquareSize = 1000;

// The decoded angle is D thousandths of a radian in degrees, shifted by half a turn.
constexpr double kDegreesPerRawUnit = 0.18;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfTurn = 180.0;
constexpr std::int32_t kFullCircleDegrees = 360;

// The texts follow the twelve bytes of numbers.
constexpr std::size_t kSpeedOffset = 12;

std::uint16_t BigEndian16(const unsigned char* bytes) {
  return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

void AppendU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value & 0xFF));
}

}  // namespace

std::int32_t DecodeDirection(std::uint32_t raw) {
  // A million rows each decode one; the table holds every raw value's angle.
  static const std::array<std::int32_t, kDirectionCount> degrees = [] {
    std::array<std::int32_t, kDirectionCount> table{};
    for (std::uint32_t value = 0; value < kDirectionCount; ++value) {
      // The order of the operations is part of the result: it decides where values truncate.
      table[value] = static_cast<std::int32_t>(value * kDegreesPerRawUnit / kPi - kHalfTurn);
    }
    table[kFullCircleDirection] = kFullCircleDegrees;
    return table;
  }();
  return degrees[raw];
}

bool RadarRecord::Read(ByteStream& stream) {
  unsigned char bytes[kRadarRecordSize];
  if (!stream.ReadBytes(bytes, kRadarRecordSize)) return false;
  Read(bytes);
  return true;
}

void RadarRecord::Read(const unsigned char* bytes) {
  SS = bytes[0];
  MS = bytes[1];
  LS = BigEndian16(bytes + 2);
  X = BigEndian16(bytes + 4);
  Y = BigEndian16(bytes + 6);
  packed = std::uint32_t{BigEndian16(bytes + 8)} << 16 | BigEndian16(bytes + 10);
  std::memcpy(Speed, bytes + kSpeedOffset, kSpeedFieldSize);
  std::memcpy(Road, bytes + kSpeedOffset + kSpeedFieldSize, kRoadFieldSize);
  std::memcpy(City, bytes + kSpeedOffset + kSpeedFieldSize + kRoadFieldSize, kCityFieldSize);
}

void RadarRecord::AppendTo(std::string& out) const {
  out.push_back(static_cast<char>(SS));
  out.push_back(static_cast<char>(MS));
  AppendU16(out, LS);
  AppendU16(out, X);
  AppendU16(out, Y);
  AppendU16(out, static_cast<std::uint16_t>(packed >> 16));
  AppendU16(out, static_cast<std::uint16_t>(packed & 0xFFFF));
  out.append(Speed, kSpeedFieldSize);
  out.append(Road, kRoadFieldSize);
  out.append(City, kCityFieldSize);
}

std::int32_t RadarRecord::GetCoordX() const {
  const std::uint32_t column =
      ((LS % kLsColumns) * kNibble + MS % kNibble) * kNibble + SS % kNibble;
  return static_cast<std::int32_t>(column) * kSquareSize + X % kSquareSize;
}

std::int32_t RadarRecord::GetCoordY() const {
  const std::uint32_t row = ((LS / kLsColumns) * kNibble + MS / kNibble) * kNibble + SS / kNibble;
  return static_cast<std::int32_t>(row) * kSquareSize + Y % kSquareSize;
}

std::string_view RadarRecord::FieldText(const char* field, std::size_t size) {
  const void* zero = std::memchr(field, 0, size);
  return {field, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size};
}

}  // namespace radardb
