#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "radardb/records/byte_stream.h"

namespace radardb {

// One record of an expanded radar database: 241 bytes, numbers big-endian.
inline constexpr std::size_t kRadarRecordSize = 241;
// Widths of the three text fields; a text ends at its field's first zero byte, or at the field's
// end when the field holds no zero.
inline constexpr std::size_t kSpeedFieldSize = 41;
inline constexpr std::size_t kRoadFieldSize = 68;
inline constexpr std::size_t kCityFieldSize = 120;

// Bit fields of `packed` below the direction: subcategory, miles-per-hour flag, speed limit.
inline constexpr int kSubcatShift = 5;
inline constexpr std::uint32_t kSubcatMask = 31;
inline constexpr int kMphShift = 10;
inline constexpr std::uint32_t kMphMask = 1;
inline constexpr int kSpeedShift = 11;
inline constexpr std::uint32_t kSpeedMask = 255;

// Raw direction that stands for 360 degrees rather than for its computed angle.
inline constexpr std::uint32_t kFullCircleDirection = 8161;
// Raw directions are the top 13 bits of `packed`.
inline constexpr int kDirectionShift = 19;
inline constexpr std::uint32_t kDirectionCount = std::uint32_t{1} << 13;

// Degrees (-180 to 289, or 360) of the raw direction `raw`, which must be below kDirectionCount.
std::int32_t DecodeDirection(std::uint32_t raw);

struct RadarRecord {
  std::uint8_t SS = 0;
  std::uint8_t MS = 0;
  std::uint16_t LS = 0;
  std::uint16_t X = 0;
  std::uint16_t Y = 0;
  // Bits 5-9 subcategory, bit 10 miles per hour, bits 11-18 speed, bits 19-31 raw direction.
  std::uint32_t packed = 0;
  char Speed[kSpeedFieldSize] = {};
  char Road[kRoadFieldSize] = {};
  char City[kCityFieldSize] = {};

  // Fills the record from the next 241 bytes of `stream`. Returns false, the record unchanged and
  // the stream's error state set, when the stream ends or fails first.
  bool Read(ByteStream& stream);
  // Fills the record from the 241 bytes at `bytes`.
  void Read(const unsigned char* bytes);
  // Appends the record's 241 bytes, as Read expects them, to `out`.
  void AppendTo(std::string& out) const;

  // Grid column (three digits from LS, MS, SS) times 1000 plus X mod 1000.
  std::int32_t GetCoordX() const;
  // Grid row (three digits from LS, MS, SS) times 1000 plus Y mod 1000.
  std::int32_t GetCoordY() const;
  // The direction in whole degrees.
  std::int32_t GetDir() const { return DecodeDirection(packed >> kDirectionShift); }

  std::int32_t GetSc() const {
    return static_cast<std::int32_t>(packed >> kSubcatShift & kSubcatMask);
  }
  std::int32_t GetMph() const { return static_cast<std::int32_t>(packed >> kMphShift & kMphMask); }
  std::int32_t GetSpd() const {
    return static_cast<std::int32_t>(packed >> kSpeedShift & kSpeedMask);
  }

  // The texts, raw bytes up to the field's first zero byte. Valid while the record lives.
  std::string_view SpeedText() const { return FieldText(Speed, kSpeedFieldSize); }
  std::string_view RoadText() const { return FieldText(Road, kRoadFieldSize); }
  std::string_view CityText() const { return FieldText(City, kCityFieldSize); }

 private:
  static std::string_view FieldText(const char* field, std::size_t size);
};

}  // namespace radardb
