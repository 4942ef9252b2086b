#include "radardb/records/record_content.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

constexpr Column kTextColumns[] = {Column::kSpeed, Column::kRoad, Column::kCity};
constexpr Column kFieldsBesidesPosition[] = {Column::kSc, Column::kMph, Column::kSpd, Column::kDir};

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;  // 2^64 divided by the golden ratio

// Mixes a 64-bit word into a running hash: one multiplication, then the high bits folded down.
std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * kMultiplier;
  return hash ^ (hash >> 32);
}

std::uint64_t MixText(std::uint64_t hash, std::string_view text) {
  std::size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= text.size(); at += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    hash = Mix(hash, word);
  }
  std::uint64_t last = 0;
  if (at < text.size()) std::memcpy(&last, text.data() + at, text.size() - at);
  // The length tells "ab" + "" from "a" + "b".
  return Mix(Mix(hash, last), text.size());
}

// The fields of a row besides "#", however they are held: the integers "CoordX" to "dir" (at
// their Column's place; "#" is not read) and the three texts.
std::uint64_t ContentHash(const RecordTable::Ints& ints, std::string_view speed,
                          std::string_view road, std::string_view city) {
  std::uint64_t hash = 0;
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; c += 2) {
    const auto low = static_cast<std::uint32_t>(ints[c]);
    const auto high = c + 1 < kIntColumnCount ? static_cast<std::uint32_t>(ints[c + 1]) : 0;
    hash = Mix(hash, std::uint64_t{high} << 32 | low);
  }
  for (const std::string_view text : {speed, road, city}) hash = MixText(hash, text);
  return hash;
}

int CompareInts(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareTexts(const RecordTable& tableA, std::size_t a, const RecordTable& tableB,
                 std::size_t b) {
  for (const Column column : kTextColumns) {
    const int order = tableA.Text(a, column).compare(tableB.Text(b, column));
    if (order != 0) return order;
  }
  return 0;
}

}  // namespace

std::uint64_t RecordContentHash(const RecordTable& rows, std::size_t row) {
  RecordTable::Ints ints{};
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    ints[c] = rows.Int(row, static_cast<Column>(c));
  }
  return ContentHash(ints, rows.Text(row, Column::kSpeed), rows.Text(row, Column::kRoad),
                     rows.Text(row, Column::kCity));
}

std::uint64_t RecordContentHash(const RadarRecord& record) {
  return ContentHash(RecordRowInts(record, 0), record.SpeedText(), record.RoadText(),
                     record.CityText());
}

bool SameRecordContent(const RadarRecord& a, const RadarRecord& b) {
  const RecordTable::Ints intsA = RecordRowInts(a, 0);
  const RecordTable::Ints intsB = RecordRowInts(b, 0);
  return std::equal(intsA.begin() + 1, intsA.end(), intsB.begin() + 1) &&
         a.SpeedText() == b.SpeedText() && a.RoadText() == b.RoadText() &&
         a.CityText() == b.CityText();
}

int CompareRecordContent(const RecordTable& tableA, std::size_t a, const RecordTable& tableB,
                         std::size_t b) {
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    const Column column = static_cast<Column>(c);
    const int order = CompareInts(tableA.Int(a, column), tableB.Int(b, column));
    if (order != 0) return order;
  }
  return CompareTexts(tableA, a, tableB, b);
}

bool SameFieldsBesidesPosition(const RecordTable& tableA, std::size_t a, const RecordTable& tableB,
                               std::size_t b) {
  for (const Column column : kFieldsBesidesPosition) {
    if (tableA.Int(a, column) != tableB.Int(b, column)) return false;
  }
  return CompareTexts(tableA, a, tableB, b) == 0;
}

}  // namespace radardb
