#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "radardb/record_table.h"

// Writes the CSV header line and one line per row of `rows` (in `order`, a permutation of the
// row indices; in table order when `order` is empty) to `out`. Returns false on a write error.
bool WriteCsv(const RecordTable& rows, const std::vector<std::uint32_t>& order, std::FILE* out);

// Writes the CSV to `path` through a temporary file in the same folder that replaces `path` only
// once everything was written, so a failed export never harms an existing file. Returns "" on
// success, otherwise the text to show the user: "Error creating file " + path when the file cannot
// be created (or an existing one may not be written), "Error writing file " + path when writing,
// closing or replacing failed.
std::string ExportCsvFile(const RecordTable& rows, const std::vector<std::uint32_t>& order,
                          const std::string& path);
