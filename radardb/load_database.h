#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/status.h"
#include "radardb/record_table.h"

// What loading a database archive produced, for the window to show.
struct LoadOutcome {
  // What to tell the user: a failure's text, or nothing on success and when cancelled.
  Status status;
  // False when the archive could not be expanded, memory ran out or the load was cancelled: the
  // table, the file name field and the Export button keep what they had. True: the table now
  // shows `rows` and the file name field the path.
  bool tableReplaced = false;
  // The Export button's new state; nullopt leaves it as it was.
  std::optional<bool> exportEnabled;
  // The decoded rows, "#" counting from 0.
  RecordTable rows;
};

// The two steps of a load: the archive is expanded, then its records are read.
enum class LoadStep { kExpanding, kReading };

// Reports progress now and then: bytes expanded so far, of the total; then, once, the records
// read, of the record count. Returns false to cancel the load, which then ends with
// Status::Cancelled().
using LoadProgress = std::function<bool(LoadStep step, std::uint64_t done, std::uint64_t total)>;

// Expands the archive at `archivePath` (see DecompressLzw, with `threads`) and decodes its
// 241-byte records into rows, each record as soon as its bytes have come out. The temporary
// file it expands into is closed on every path (with platform::CloseUnnamedFile once it has been
// read, so its space may be given back just after this returns). Running out of memory ends it
// with "Out of memory", the table not replaced.
LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress = {},
                         unsigned threads = 0);
