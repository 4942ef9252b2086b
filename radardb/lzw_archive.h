#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/file_ops.h"
#include "platform/status.h"
#include "radardb/lzw_expand.h"
#include "radardb/lzw_output.h"

// Reading radar database archives ("radar.lzw", "dangerz.lzw") from disk: a 14-byte header, LZW
// blocks, and a block table at the end. Every failure carries one of these texts, shown to the
// user as is.
inline constexpr char kLzwFileNotFound[] = "LZW file not found";
inline constexpr char kLzwFileReadError[] = "LZW file read error";
inline constexpr char kLzwWrongFileFormat[] = "Wrong file format";
inline constexpr char kLzwOutOfMemory[] = "Out of memory";
inline constexpr char kLzwTempFileError[] = "Error creating temporary destination file";
inline constexpr char kLzwDecompressError[] = "LZW decompress error";

// Room left free on the file system of the expanded database: an archive is expanded only when
// its total fits into the free space less this.
inline constexpr std::uint64_t kLzwFreeSpaceMargin = std::uint64_t{64} << 20;

// The free bytes on the file system holding `folder`, or nullopt when the system cannot tell.
using FreeSpaceProbe = std::function<std::optional<std::uint64_t>(const std::string& folder)>;

struct DecompressOptions {
  // Told the bytes expanded so far; may stop the expansion. None by default.
  LzwProgress progress;
  // Where the free space comes from; tests put a figure of their own here.
  FreeSpaceProbe freeSpace = platform::AvailableBytes;
  // Also given every expanded byte, in order, once the file has taken it (so the bytes can be
  // read while later blocks are still being decoded); a refusal fails the expansion as the
  // file's would. None by default.
  LzwOutputSink* copyTo = nullptr;
  // Threads that decode blocks side by side (see ExpandLzwBlocks); 0: WorkThreads().
  unsigned threads = 0;
};

// Expands the archive at `archivePath` into a new temporary file in the archive's folder or,
// when no file can be made there (read-only media), in the system's temporary folder. The file
// has no name, so it goes when `expanded` is closed or the process ends, however it ends.
// Before anything is written, the archive's expected total must fit into the free space there
// less kLzwFreeSpaceMargin, as far as `options.freeSpace` can tell; otherwise kLzwTempFileError.
// On success `expanded` holds the file, positioned at its start; its stream has no buffer (the
// expansion writes large pieces), so it is best read in large pieces too. On failure `expanded`
// is empty and nothing is left on disk; Status::Cancelled() when `options.progress` stopped it.
Status DecompressLzw(const std::string& archivePath, platform::File& expanded,
                     const DecompressOptions& options = {});

// Expands the archive at `archivePath` into `out`, with the same checks and texts as
// DecompressLzw but no bound on the output; a refused write is reported as kLzwTempFileError.
// `threads` as for ExpandLzwBlocks.
Status ExpandLzwArchive(const std::string& archivePath, LzwOutputSink& out, unsigned threads = 0);
