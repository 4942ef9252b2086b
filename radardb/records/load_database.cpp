#include "radardb/records/load_database.h"

#include "radardb/records/record_scan.h"

namespace radardb {

LoadOutcome LoadDatabase(const std::string& archivePath, const LoadProgress& progress,
                         unsigned threads) {
  LoadOutcome outcome;
  bool damaged = false;
  outcome.status = platform::GuardMemory([&] {
    RecordParser parser(outcome.rows);
    const Status expanded = DecompressLzw(archivePath, parser, {progress, threads});
    damaged = expanded.ok() && parser.EndsInsideRecord();
    return damaged ? Status::BadFormat(kEndsInsideRecord) : expanded;
  });
  if (outcome.status.ok()) {
    outcome.result = LoadOutcome::Result::kLoaded;
    return outcome;
  }
  outcome.rows = RecordTable();
  if (damaged) {
    outcome.result = LoadOutcome::Result::kDamaged;
  } else if (outcome.status.cancelled()) {
    outcome.result = LoadOutcome::Result::kCancelled;
  }
  return outcome;
}

}  // namespace radardb
