#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/status.h"
#include "radardb/record_table.h"

// What loading a database archive produced, for the window to show.
struct LoadOutcome {
  // What to tell the user: a failure's text, or nothing on success.
  Status status;
  // False when the archive could not be expanded: the table, the file name field and the Export
  // button keep what they had. True: the table now shows `rows` and the file name field the path.
  bool tableReplaced = false;
  // The Export button's new state; nullopt leaves it as it was.
  std::optional<bool> exportEnabled;
  // The decoded rows, "#" counting from 0.
  RecordTable rows;
};

// Reports progress now and then: records read so far and records in the database.
using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;

// Expands the archive at `archivePath`, reads its 241-byte records and decodes them into rows.
// The temporary file it expands into is deleted before returning, on every path.
LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress = {});
