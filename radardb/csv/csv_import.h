#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/records/radar_record.h"

namespace radardb {

using platform::Status;

// Reads a CSV file as the export writes it (the header line, then one record line per record)
// and appends each record's 241 bytes to `records`, in file order. A UTF-8 byte-order mark before
// the header is skipped, and so are blank lines at the end. Fails with "line N: " and the reason
// for the first bad line (N counts from 1; a record whose quoted text spans lines is reported at
// the line where it begins; a line of more than fourteen fields is refused at its fifteenth),
// with "Out of memory" when memory runs out; `records` is then unspecified. Texts from the file
// quoted in a reason are made printable (PrintableText).
Status CsvToRecords(std::string_view csv, std::string& records);

// The smallest raw direction that decodes to `degrees`, or nullopt when none does.
std::optional<std::uint32_t> RawDirectionFor(std::int32_t degrees);

// Rebuilds the record that the fourteen fields of a CSV record line describe (CoordX, CoordY, SS,
// MS, LS, X, Y, subcat, mph, speed, dir, Speed, Road, City). SS, MS, LS, X and Y are taken as they
// stand; `packed` from subcat, mph, speed and RawDirectionFor(dir), its unused bits zero; the texts
// zero-padded. On failure (also when `fields` does not hold fourteen fields) `record` is
// unspecified and the message says which field is wrong: a number out of its range, CoordX or
// CoordY not agreeing with the fields they derive from, a direction no record can hold, a text
// longer than its field or holding a zero byte.
Status BuildRecord(const std::vector<std::string>& fields, RadarRecord& record);

}  // namespace radardb
