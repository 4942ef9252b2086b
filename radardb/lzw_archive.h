#pragma once

#include <cstdio>
#include <string>

// Reading radar database archives ("radar.lzw", "dangerz.lzw"): a 14-byte header, LZW blocks,
// and a block table at the end. Every failure is one of these texts, shown to the user as is.
inline constexpr char kLzwFileNotFound[] = "LZW file not found";
inline constexpr char kLzwFileReadError[] = "LZW file read error";
inline constexpr char kLzwWrongFileFormat[] = "Wrong file format";
inline constexpr char kLzwOutOfMemory[] = "Out of memory";
inline constexpr char kLzwTempFileError[] = "Error creating temporary destination file";
inline constexpr char kLzwDecompressError[] = "LZW decompress error";

// Expands the archive at `archivePath` into a new temporary file in the archive's folder, named
// after the archive's file name without its extension ("radar" for "radar.lzw"), or a unique
// variant of that name when a file of that name exists; an existing file is never touched.
// Returns "" on success, otherwise one of the texts above. Whenever a temporary file was created,
// on success and on failure alike, its path is stored in `createdTempPath` (otherwise it is set
// to ""), and the caller deletes that file once it is done with it.
std::string DecompressLzw(const std::string& archivePath, std::string& createdTempPath);

// Expands the archive at `archivePath` into `out` (opened for binary writing), with the same
// checks and texts as DecompressLzw; a failed write to `out` is reported as kLzwTempFileError.
std::string ExpandLzwArchive(const std::string& archivePath, std::FILE* out);
