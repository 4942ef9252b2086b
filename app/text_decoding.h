#pragma once

#include <QString>
#include <string_view>

// Turns a database text (raw bytes, as stored in a record) into a text to display: as UTF-8 when
// the bytes are well-formed UTF-8, otherwise byte by byte as Windows-1252. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of
// the same value, as Windows itself does. Never fails; the bytes are not changed anywhere else.
QString DecodeDatabaseText(std::string_view bytes);
