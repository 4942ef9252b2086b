#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "radardb/radar_record.h"

// The smallest raw direction that decodes to `degrees`, or nullopt when none does.
std::optional<std::uint32_t> RawDirectionFor(std::int32_t degrees);

// Rebuilds the record that the fourteen fields of a CSV record line describe (CoordX, CoordY, SS,
// MS, LS, X, Y, subcat, mph, speed, dir, Speed, Road, City). SS, MS, LS, X and Y are taken as they
// stand; `packed` from subcat, mph, speed and RawDirectionFor(dir), its unused bits zero; the texts
// zero-padded. Returns "" on success. Otherwise (also when `fields` does not hold fourteen fields)
// `record` is unspecified and the result says which field is wrong: a number out of its range,
// CoordX or CoordY not agreeing with the fields they derive from, a direction no record can hold, a
// text longer than its field or holding a zero byte.
std::string BuildRecord(const std::vector<std::string>& fields, RadarRecord& record);
