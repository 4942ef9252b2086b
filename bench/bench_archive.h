#pragma once

#include <cstdio>
#include <optional>

#include "radardb/records/load_database.h"

// The rows of the one archive left on a benchmark's command line once benchmark::Initialize has
// taken its own options, loaded as the window loads them. Prints "usage: USAGE" or the load's
// error to standard error and gives nothing when there is no archive to use.
inline std::optional<radardb::RecordTable> LoadBenchArchive(int argc, char** argv,
                                                            const char* usage) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s\n", usage);
    return std::nullopt;
  }
  radardb::LoadOutcome loaded = radardb::LoadDatabase(argv[1]);
  if (!loaded.status.ok()) {
    std::fprintf(stderr, "%s\n", loaded.status.message().c_str());
    return std::nullopt;
  }
  return std::move(loaded.rows);
}
