#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "radardb/records/record_table.h"

namespace radardb {

using platform::Status;

// The fields of a record an edit may write, one bit each. A record's fields not in an edit's set
// keep every bit they were read with when the record is saved.
enum EditedField : std::uint16_t {
  kEditedSS = 1 << 0,
  kEditedMS = 1 << 1,
  kEditedLS = 1 << 2,
  kEditedX = 1 << 3,
  kEditedY = 1 << 4,
  kEditedSc = 1 << 5,
  kEditedMph = 1 << 6,
  kEditedSpd = 1 << 7,
  kEditedDir = 1 << 8,
  kEditedSpeed = 1 << 9,
  kEditedRoad = 1 << 10,
  kEditedCity = 1 << 11,
};
using EditedFields = std::uint16_t;

// What a row becomes when one of its cells is set.
struct CellEdit {
  RecordTable::Ints ints;
  std::string texts[3];     // Speed, Road and City as stored: raw bytes
  EditedFields fields = 0;  // the record fields the edit writes
};

// The smallest raw direction that decodes to `degrees`, or -1 when none does.
std::int32_t SmallestRawDirection(std::int32_t degrees);

// Bytes a text field may hold besides its ending zero.
std::size_t TextCapacity(Column column);

// Works out row `row` of `table` with the cell in `column` set to `input` (UTF-8, as typed).
// Integers must be whole numbers the record field can hold; CoordX and CoordY are written into the
// SS, MS, LS and X (or Y) parts they are built from, keeping the other coordinate's parts and the
// thousands of X and Y. A text is stored in the encoding the field's text reads in (UTF-8 when it
// is well-formed UTF-8, otherwise Windows-1252) and must fit its field with the ending zero.
// Fails with Status::InvalidArgument and the reason, in the user's words, when the value is
// refused; "#" is never editable.
Status EditCell(const RecordTable& table, std::size_t row, Column column, std::string_view input,
                CellEdit& edit);

}  // namespace radardb
