#include "tools/filtered_load.h"

#include <cstdio>

#include "radardb/filter/record_filter.h"
#include "radardb/records/load_database.h"
#include "tools/commands.h"

using namespace radardb;

int LoadFiltered(const char* name, const std::string& archive,
                 const std::optional<std::string>& filter, const std::string& output,
                 FilteredLoad& loaded) {
  RecordFilter parsed;
  if (filter) {
    const Status valid = RecordFilter::Parse(*filter, parsed);
    if (!valid.ok()) {
      std::fprintf(stderr, "kestrolan-db %s: --filter: %s\n", name, valid.message().c_str());
      return kExitUsage;
    }
  }
  if (!OutputsAreNotInputs({archive}, {output})) return kExitUsage;
  LoadOutcome outcome = LoadDatabase(archive);
  if (!outcome.status.ok()) {
    std::fprintf(stderr, "%s\n", outcome.status.message().c_str());
    return kExitFailure;
  }
  loaded.rows = std::move(outcome.rows);
  loaded.picked = TableOrder(loaded.rows.size());
  if (!parsed.empty()) {
    loaded.picked = MatchingRows(parsed, RecordTableSource(loaded.rows), loaded.picked);
  }
  return kExitSuccess;
}
