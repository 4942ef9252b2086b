#include "radardb/edit/cell_edit.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "radardb/records/radar_record.h"
#include "radardb/text/database_text.h"
#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

// CoordX and CoordY: a square number of three digits (LS's part of weight 256, MS's and SS's
// nibbles) times 1000, plus the position inside the square from X or Y mod 1000.
constexpr std::int64_t kSquareSize = 1000;
constexpr std::int64_t kLsColumns = 28;
constexpr std::int64_t kMaxUnsigned16 = 0xFFFF;

struct IntRange {
  std::int64_t low;
  std::int64_t high;
  EditedFields field;
};

// The raw fields' ranges, by column; CoordX, CoordY and dir are worked out apart.
IntRange RawRange(Column column) {
  switch (column) {
    case Column::kSS:
      return {0, 255, kEditedSS};
    case Column::kMS:
      return {0, 255, kEditedMS};
    case Column::kLS:
      return {0, kMaxUnsigned16, kEditedLS};
    case Column::kX:
      return {0, kMaxUnsigned16, kEditedX};
    case Column::kY:
      return {0, kMaxUnsigned16, kEditedY};
    case Column::kSc:
      return {0, kSubcatMask, kEditedSc};
    case Column::kMph:
      return {0, kMphMask, kEditedMph};
    case Column::kSpd:
      return {0, kSpeedMask, kEditedSpd};
    default:
      return {0, 0, 0};
  }
}

std::string Name(Column column) {
  static constexpr const char* kNames[kColumnCount] = {"#",   "CoordX", "CoordY", "SS",   "MS",
                                                       "LS",  "X",      "Y",      "sc",   "mph",
                                                       "spd", "dir",    "Speed",  "Road", "City"};
  return kNames[static_cast<int>(column)];
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool ParseWhole(std::string_view input, std::int64_t& value) {
  input = Trimmed(input);
  if (!input.empty() && input.front() == '+') input.remove_prefix(1);
  if (input.empty()) return false;
  const auto [end, error] = std::from_chars(input.data(), input.data() + input.size(), value);
  return error == std::errc() && end == input.data() + input.size();
}

Status Refused(std::string reason) { return Status::InvalidArgument(std::move(reason)); }

Status OutOfRange(Column column, std::int64_t low, std::int64_t high) {
  return Refused(Name(column) + " must be a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high));
}

RadarRecord PositionOf(const RecordTable::Ints& ints) {
  RadarRecord record;
  record.SS = static_cast<std::uint8_t>(ints[static_cast<int>(Column::kSS)]);
  record.MS = static_cast<std::uint8_t>(ints[static_cast<int>(Column::kMS)]);
  record.LS = static_cast<std::uint16_t>(ints[static_cast<int>(Column::kLS)]);
  record.X = static_cast<std::uint16_t>(ints[static_cast<int>(Column::kX)]);
  record.Y = static_cast<std::uint16_t>(ints[static_cast<int>(Column::kY)]);
  return record;
}

void Rederive(RecordTable::Ints& ints) {
  const RadarRecord record = PositionOf(ints);
  ints[static_cast<int>(Column::kCoordX)] = record.GetCoordX();
  ints[static_cast<int>(Column::kCoordY)] = record.GetCoordY();
}

// Writes `value` as CoordX (`row` false) or CoordY into the parts it is built from: the low
// nibbles of SS and MS (high ones for CoordY), LS mod 28 (LS div 28) and X mod 1000 (Y mod 1000).
Status EditCoordinate(Column column, std::int64_t value, CellEdit& edit) {
  const bool isY = column == Column::kCoordY;
  auto& ints = edit.ints;
  auto part = [&ints](Column c) -> std::int32_t& { return ints[static_cast<int>(c)]; };
  const std::int64_t ls = part(Column::kLS);
  const std::int64_t otherLs = isY ? ls % kLsColumns : ls / kLsColumns * kLsColumns;
  const std::int64_t largestLsPart = isY ? (kMaxUnsigned16 - otherLs) / kLsColumns
                                         : std::min(kLsColumns - 1, kMaxUnsigned16 - otherLs);
  const std::int64_t largestSquare = largestLsPart * 256 + 255;
  if (value < 0 || value >= (largestSquare + 1) * kSquareSize) {
    return OutOfRange(column, 0, (largestSquare + 1) * kSquareSize - 1);
  }
  const std::int64_t square = value / kSquareSize;
  const std::int64_t position = value % kSquareSize;
  std::int32_t& inSquare = part(isY ? Column::kY : Column::kX);
  const std::int64_t thousands = inSquare / kSquareSize * kSquareSize;
  if (thousands + position > kMaxUnsigned16) {
    return Refused(Name(column) + " must end in at most " +
                   std::to_string(kMaxUnsigned16 - thousands) + " for this record, whose " +
                   (isY ? "Y" : "X") + " is " + std::to_string(inSquare));
  }
  const int shift = isY ? 4 : 0;
  const std::int32_t keep = isY ? 0x0F : 0xF0;
  std::int32_t& ss = part(Column::kSS);
  std::int32_t& ms = part(Column::kMS);
  ss = (ss & keep) | static_cast<std::int32_t>((square & 15) << shift);
  ms = (ms & keep) | static_cast<std::int32_t>((square >> 4 & 15) << shift);
  part(Column::kLS) = static_cast<std::int32_t>(isY ? (square >> 8) * kLsColumns + otherLs
                                                    : otherLs + (square >> 8));
  inSquare = static_cast<std::int32_t>(thousands + position);
  edit.fields = kEditedSS | kEditedMS | kEditedLS | (isY ? kEditedY : kEditedX);
  Rederive(ints);
  return Status();
}

Status EditInteger(Column column, std::string_view input, CellEdit& edit) {
  std::int64_t value = 0;
  const bool whole = ParseWhole(input, value);
  if (column == Column::kDir) {
    const std::int32_t raw = whole && value >= INT32_MIN && value <= INT32_MAX
                                 ? SmallestRawDirection(static_cast<std::int32_t>(value))
                                 : -1;
    if (raw < 0) return Refused("dir must be a whole number from -180 to 289, or 360");
    edit.ints[static_cast<int>(Column::kDir)] = static_cast<std::int32_t>(value);
    edit.fields = kEditedDir;
    return Status();
  }
  if (column == Column::kCoordX || column == Column::kCoordY) {
    if (!whole) return Refused(Name(column) + " must be a whole number");
    return EditCoordinate(column, value, edit);
  }
  const IntRange range = RawRange(column);
  if (!whole || value < range.low || value > range.high) {
    return OutOfRange(column, range.low, range.high);
  }
  edit.ints[static_cast<int>(column)] = static_cast<std::int32_t>(value);
  edit.fields = range.field;
  Rederive(edit.ints);
  return Status();
}

// The Windows-1252 byte of `c`, or -1 when the code page has none.
int Windows1252Byte(char32_t c) {
  for (int byte = 0; byte < 256; ++byte) {
    if (Windows1252CodePoint(static_cast<unsigned char>(byte)) == c) return byte;
  }
  return -1;
}

Status EncodeText(Column column, std::string_view current, std::string_view input,
                  std::string& stored) {
  if (!IsValidUtf8(input)) return Refused(Name(column) + " must be valid text");
  if (input.find('\0') != std::string_view::npos) {
    return Refused(Name(column) + " cannot hold a zero character: it ends the text");
  }
  if (IsValidUtf8(current)) {
    stored.assign(input);
  } else {
    stored.clear();
    for (std::string_view rest = input; !rest.empty();) {
      const std::size_t length = Utf8SequenceLength(rest);
      const int byte = Windows1252Byte(Utf8CodePoint(rest, length));
      if (byte < 0) {
        return Refused(Name(column) + " is written in Windows-1252, which has no \"" +
                       std::string(rest.substr(0, length)) + "\"");
      }
      stored.push_back(static_cast<char>(byte));
      rest.remove_prefix(length);
    }
    // Such bytes would read back as UTF-8, so the text shown would not be the text typed.
    if (stored != input && IsValidUtf8(stored)) {
      return Refused(Name(column) + " is written in Windows-1252, and these characters would " +
                     "read back as other ones");
    }
  }
  const std::size_t capacity = TextCapacity(column);
  if (stored.size() > capacity) {
    return Refused(Name(column) + " holds at most " + std::to_string(capacity) +
                   " bytes besides its ending zero; this text needs " +
                   std::to_string(stored.size()));
  }
  return Status();
}

}  // namespace

std::int32_t SmallestRawDirection(std::int32_t degrees) {
  static const std::array<std::int32_t, 541> smallest = [] {
    std::array<std::int32_t, 541> table;
    table.fill(-1);
    for (std::uint32_t raw = kDirectionCount; raw-- > 0;) {
      table[static_cast<std::size_t>(DecodeDirection(raw) + 180)] = static_cast<std::int32_t>(raw);
    }
    return table;
  }();
  if (degrees < -180 || degrees > 360) return -1;
  return smallest[static_cast<std::size_t>(degrees + 180)];
}

std::size_t TextCapacity(Column column) {
  switch (column) {
    case Column::kSpeed:
      return kSpeedFieldSize - 1;
    case Column::kRoad:
      return kRoadFieldSize - 1;
    case Column::kCity:
      return kCityFieldSize - 1;
    default:
      return 0;
  }
}

Status EditCell(const RecordTable& table, std::size_t row, Column column, std::string_view input,
                CellEdit& edit) {
  for (int i = 0; i < kIntColumnCount; ++i) edit.ints[i] = table.Int(row, static_cast<Column>(i));
  for (int i = 0; i < 3; ++i) {
    edit.texts[i].assign(table.Text(row, static_cast<Column>(kIntColumnCount + i)));
  }
  edit.fields = 0;
  if (column == Column::kIndex)
    return Refused("# is the record's place in the file and cannot be edited");
  if (!IsTextColumn(column)) return EditInteger(column, input, edit);
  const int text = static_cast<int>(column) - kIntColumnCount;
  std::string stored;
  const Status encoded = EncodeText(column, edit.texts[text], input, stored);
  if (!encoded.ok()) return encoded;
  edit.texts[text] = std::move(stored);
  edit.fields = static_cast<EditedFields>(kEditedSpeed << text);
  return Status();
}

}  // namespace radardb
