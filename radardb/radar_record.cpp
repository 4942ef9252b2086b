#include "radardb/radar_record.h"

#include <cstring>

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

void AppendU16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value & 0xFF));
}

}  // namespace

std::int32_t DecodeDirection(std::uint32_t raw) {
  if (raw == kFullCircleDirection) return kFullCircleDegrees;
  // The order of the operations is part of the result: it decides where values truncate.
  return static_cast<std::int32_t>(raw * kDegreesPerRawUnit / kPi - kHalfTurn);
}

bool RadarRecord::Read(ByteStream& stream) {
  SS = stream.ReadU8();
  MS = stream.ReadU8();
  LS = stream.ReadU16BE();
  X = stream.ReadU16BE();
  Y = stream.ReadU16BE();
  if (stream.IsError()) return false;
  packed = stream.ReadU32BE();
  if (stream.IsError()) return false;
  return stream.ReadBytes(Speed, kSpeedFieldSize) && stream.ReadBytes(Road, kRoadFieldSize) &&
         stream.ReadBytes(City, kCityFieldSize);
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
