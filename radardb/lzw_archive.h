#pragma once

#include <cstdio>
#include <string>

#include "platform/file_ops.h"
#include "platform/status.h"

// Reading radar database archives ("radar.lzw", "dangerz.lzw") from disk: a 14-byte header, LZW
// blocks, and a block table at the end. Every failure carries one of these texts, shown to the
// user as is.
inline constexpr char kLzwFileNotFound[] = "LZW file not found";
inline constexpr char kLzwFileReadError[] = "LZW file read error";
inline constexpr char kLzwWrongFileFormat[] = "Wrong file format";
inline constexpr char kLzwOutOfMemory[] = "Out of memory";
inline constexpr char kLzwTempFileError[] = "Error creating temporary destination file";
inline constexpr char kLzwDecompressError[] = "LZW decompress error";

// Expands the archive at `archivePath` into a new temporary file in the archive's folder, named
// after the archive's file name without its extension ("radar" for "radar.lzw"), or a unique
// variant of that name when a file of that name exists; an existing file is never touched.
// Whenever a temporary file was created, on success and on failure alike, its path is stored in
// `createdTempPath` (otherwise it is set to ""), and the caller deletes that file once it is done
// with it.
Status DecompressLzw(const std::string& archivePath, std::string& createdTempPath);

// Expands the archive at `archivePath` into `out` (opened for binary writing), with the same
// checks and texts as DecompressLzw; a failed write to `out` is reported as kLzwTempFileError.
Status ExpandLzwArchive(const std::string& archivePath, std::FILE* out);

// The name the expanded database of `archivePath` is first tried under: the archive's folder and
// its file name without the extension ("maps/radar" for "maps/radar.lzw"), or the file name plus
// ".tmp" when it has no extension ("maps/radar.tmp" for "maps/radar").
std::string LzwTempFileBaseName(const std::string& archivePath);

// Creates a new, empty file for the expanded database of `archivePath`: under
// LzwTempFileBaseName, or when a file of that name exists, under the first free variant
// ("maps/radar-1", "maps/radar-2", ...). An existing file is never opened. Returns the open
// stream and its path in `createdPath`, or an empty File (and "" in `createdPath`) when no file
// could be created.
platform::File CreateLzwTempFile(const std::string& archivePath, std::string& createdPath);
