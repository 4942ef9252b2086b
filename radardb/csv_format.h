#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "radardb/record_table.h"

// The CSV file's lines: a header naming the fourteen fields of a record line, then one line per
// row, each ended by CR LF.
inline constexpr std::string_view kCsvHeader =
    "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City";
inline constexpr std::string_view kCsvLineEnd = "\r\n";
inline constexpr int kCsvFieldCount = 14;

// Appends `text` as one CSV field: unchanged, or wrapped in double quotes with inner quotes
// doubled when it holds a comma, a double quote, CR or LF.
void AppendCsvText(std::string_view text, std::string& out);

// Appends the record line of `row` (below rows.size()), its line end included.
void AppendCsvRow(const RecordTable& rows, std::size_t row, std::string& out);
