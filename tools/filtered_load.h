#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "radardb/records/record_table.h"

// A database as the commands that take --filter read it: its rows, and those the filter picks.
struct FilteredLoad {
  radardb::RecordTable rows;
  // The rows the filter matches, in table order; every row when there is no filter.
  radardb::RowOrder picked;
};

// For the command `name` that writes `output` from `archive`: parses `filter` (the filter
// language; nothing picks every row), makes sure `output` is not the archive itself (see
// OutputsAreNotInputs), loads the archive and picks its rows into `loaded`. Returns kExitSuccess,
// or prints the reason on standard error and returns the command's exit status: kExitUsage for a
// filter that does not parse or an output that is the archive, kExitFailure otherwise.
int LoadFiltered(const char* name, const std::string& archive,
                 const std::optional<std::string>& filter, const std::string& output,
                 FilteredLoad& loaded);
