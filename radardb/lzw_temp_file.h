#pragma once

#include <string>

#include "radardb/lzw_io.h"

// The name the expanded database of `archivePath` is first tried under: the archive's folder and
// its file name without the extension ("maps/radar" for "maps/radar.lzw"), or the file name plus
// ".tmp" when it has no extension ("maps/radar.tmp" for "maps/radar").
std::string LzwTempFileBaseName(const std::string& archivePath);

// Creates a new, empty file for the expanded database of `archivePath`: under
// LzwTempFileBaseName, or when a file of that name exists, under the first free variant
// ("maps/radar-1", "maps/radar-2", ...). An existing file is never opened. Returns the open
// stream and its path in `createdPath`, or a null stream (and "" in `createdPath`) when no file
// could be created.
LzwUniqueFile CreateLzwTempFile(const std::string& archivePath, std::string& createdPath);
