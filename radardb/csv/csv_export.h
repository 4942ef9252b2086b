#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "radardb/records/record_table.h"

namespace radardb {

using platform::Status;

// The CSV export, shared by the window and the tool: a header naming the fourteen fields of a
// record line, then one line per row, each ended by CR LF, no byte-order mark.
inline constexpr std::string_view kCsvHeader =
    "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City";
inline constexpr std::string_view kCsvLineEnd = "\r\n";
inline constexpr int kCsvFieldCount = 14;

// Appends `text` as one CSV field: unchanged, or wrapped in double quotes with inner quotes
// doubled when it holds a comma, a double quote, CR or LF.
void AppendCsvText(std::string_view text, std::string& out);

// Appends `value` as one CSV field: plain decimal, "-" before a negative value.
void AppendCsvInt(std::int64_t value, std::string& out);

// Appends the fourteen fields of `row` (below rows.size()) as the record line holds them, without
// the line end.
void AppendCsvFields(const RecordTable& rows, std::size_t row, std::string& out);

// Appends the record line of `row` (below rows.size()), its line end included.
void AppendCsvRow(const RecordTable& rows, std::size_t row, std::string& out);

// Writes out the lines gathered in `chunk` and empties it, once it holds a large piece (about a
// megabyte), or always when `final`. After the final piece the stream is flushed. Returns false
// when a write or the flush failed.
bool FlushCsvChunk(std::string& chunk, std::FILE* out, bool final);

// Writes the CSV header line and then the lines of the rows listed in `order` (row indices of
// `rows`, in the order to write them), or of every row in table order when `order` is null, to
// `out`. Lines are formatted on `threads` threads (0: WorkThreads()) and written in order, the
// same bytes for every count. Returns false on a write error.
bool WriteCsv(const RecordTable& rows, const RowOrder* order, std::FILE* out, unsigned threads = 0);

// Writes the CSV to `path` through platform::OutputFile, so a failed export never harms an
// existing file. Fails with "Error creating file " + path when the file cannot be created (or an
// existing one may not be written), "Error writing file " + path when writing, closing or
// replacing failed, "Out of memory" when memory ran out; the existing file is then untouched.
Status ExportCsvFile(const RecordTable& rows, const RowOrder* order, const std::string& path);

// Writes a CSV file to `path` as ExportCsvFile does, failing with the same texts: `write` puts
// the lines on the stream it is given and returns false on a write error.
Status WriteCsvFile(const std::string& path, const std::function<bool(std::FILE*)>& write);

// The CSV name offered for a database: its path cut at the extension of its file name (a dot in
// a folder name is no extension), plus ".csv"; just ".csv" for an empty path.
std::string CsvNameFor(const std::string& databasePath);

}  // namespace radardb
