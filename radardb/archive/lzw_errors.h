#pragma once

#include "platform/status.h"

namespace radardb {

using platform::Status;

// Every way an archive can fail to be read, with the text shown to the user as it stands.
inline constexpr char kLzwFileNotFound[] = "LZW file not found";
inline constexpr char kLzwFileReadError[] = "LZW file read error";
inline constexpr char kLzwWrongFileFormat[] = "Wrong file format";
inline constexpr char kLzwTempFileError[] = "Error creating temporary destination file";
inline constexpr char kLzwDecompressError[] = "LZW decompress error";
// Running out of memory reads as platform::kOutOfMemory, "Out of memory".

// The archive cannot be opened.
inline Status LzwFileNotFound() { return Status::NotFound(kLzwFileNotFound); }
// The header, the block table or a block lies outside the file or cannot be read.
inline Status LzwFileReadError() { return Status::ReadError(kLzwFileReadError); }
// Not an archive at all: a wrong magic, or no blocks.
inline Status LzwWrongFileFormat() { return Status::BadFormat(kLzwWrongFileFormat); }
// A block whose codes do not expand to the total the table promises.
inline Status LzwDecompressError() { return Status::BadFormat(kLzwDecompressError); }
// The expanded bytes found no room: the output refused them, or the free space is too small.
inline Status LzwOutputRefused() { return Status::WriteError(kLzwTempFileError); }
inline Status LzwNoSpace() { return Status::NoSpace(kLzwTempFileError); }

}  // namespace radardb
