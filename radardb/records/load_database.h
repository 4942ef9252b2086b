#pragma once

#include <cstdint>
#include <string>

#include "radardb/archive/lzw_expand.h"
#include "radardb/records/record_table.h"

namespace radardb {

// What loading a database archive produced. The window decides from `result` what its table, its
// file name field and its Export button do.
struct LoadOutcome {
  enum class Result {
    kLoaded,     // every record read: `rows` holds them (none for a database under 241 bytes)
    kDamaged,    // the archive expanded, but its bytes end inside a record: no rows, `status` says
    kFailed,     // the archive could not be read, or memory ran out: `status` says why
    kCancelled,  // stopped through the progress callback
  };
  Result result = Result::kFailed;
  // What to tell the user: a failure's text; ok when loaded or cancelled.
  Status status;
  // The decoded rows, "#" counting from 0.
  RecordTable rows;
};

// Told now and then how many bytes have been expanded so far, of the total the archive
// promises; the records are read as the bytes come. Returns false to cancel the load.
using LoadProgress = LzwProgress;

// Expands the archive at `archivePath` in memory (see DecompressLzw, with `threads`) and decodes
// its 241-byte records into rows as their bytes come out; nothing is written to disk.
LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress = {},
                         unsigned threads = 0);

}  // namespace radardb
