#pragma once

#include <QString>
#include <string_view>

// Turns a database text (raw bytes, as stored in a record) into a text to display: as UTF-8 when
// the bytes are well-formed UTF-8, otherwise byte by byte as Windows-1252 (Windows1252CodePoint,
// the reading the filter compares with). Never fails; the bytes are not changed anywhere else.
QString DecodeDatabaseText(std::string_view bytes);
