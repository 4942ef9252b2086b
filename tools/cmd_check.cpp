// kestrolan-db check: lists the faults of one database: repeated records and damaged fields.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "platform/output_file.h"
#include "radardb/compare/check_report.h"
#include "radardb/compare/database_check.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

struct CheckArgs {
  std::string archive;
  std::string csv = "-";
};

int ListFaults(const CheckArgs& args) {
  if (!OutputsAreNotInputs({args.archive}, {args.csv})) return kExitTrouble;
  CheckReport report;
  const Status checked = CheckArchive(args.archive, kDefaultTolerance, report);
  if (!checked.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(args.archive).c_str(),
                 checked.message().c_str());
    return kExitTrouble;
  }
  const Status status =
      platform::WriteOutputFile(args.csv, [&](std::FILE* out) { WriteCheckCsv(report, out); });
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db check: %s\n", status.message().c_str());
    return kExitTrouble;
  }
  std::fprintf(stderr, "%s\n", CheckSummary(report).c_str());
  return report.findings.empty() ? kExitSuccess : kExitFound;
}

CommandRun DefineCheck(CLI::App& app) {
  auto args = std::make_shared<CheckArgs>();
  app.add_option("ARCHIVE", args->archive, "the archive to check")->required()->check(kNotEmpty);
  app.add_option("-o", args->csv, "the CSV file (default: standard output)")->check(kNotEmpty);
  return [args] { return ListFaults(*args); };
}

}  // namespace

extern const Command kCheckCommand = {
    "check", "ARCHIVE [-o FILE.csv]",
    "lists the database's faults as CSV (default: standard output): duplicates, conflicts, "
    "near-duplicates, cut texts, control characters, unused bits; exit 0 clean, 1 findings, 2 "
    "trouble",
    DefineCheck, kExitTrouble};
