// kestrolan-db check: lists the faults of one database: repeated records and damaged fields.
#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "platform/output_file.h"
#include "radardb/compare/check_report.h"
#include "radardb/compare/database_check.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

constexpr int kClean = 0;
constexpr int kFindings = 1;
constexpr int kTrouble = 2;

struct CheckArgs {
  std::string archive;
  std::string csv = "-";
};

std::optional<CheckArgs> ParseCheckArgs(const CommandArgs& args) {
  CheckArgs parsed;
  bool haveOutput = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size() && !haveOutput && !args[i + 1].empty()) {
      parsed.csv = args[++i];
      haveOutput = true;
    } else if (parsed.archive.empty() && !args[i].empty() && args[i][0] != '-') {
      parsed.archive = args[i];
    } else {
      return std::nullopt;
    }
  }
  if (parsed.archive.empty()) return std::nullopt;
  return parsed;
}

int ListFaults(const CommandArgs& args) {
  const std::optional<CheckArgs> parsed = ParseCheckArgs(args);
  if (!parsed) return UsageError(CommandNamed("check"));
  if (parsed->csv == parsed->archive) {
    std::fprintf(stderr,
                 "kestrolan-db check: '%s' would replace the archive; name another with -o\n",
                 PrintableText(parsed->csv).c_str());
    return kTrouble;
  }
  CheckReport report;
  const Status checked = CheckArchive(parsed->archive, kDefaultTolerance, report);
  if (!checked.ok()) {
    std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(parsed->archive).c_str(),
                 checked.message().c_str());
    return kTrouble;
  }
  const Status status =
      platform::WriteOutputFile(parsed->csv, [&](std::FILE* out) { WriteCheckCsv(report, out); });
  if (!status.ok()) {
    std::fprintf(stderr, "kestrolan-db check: %s\n", status.message().c_str());
    return kTrouble;
  }
  std::fprintf(stderr, "%s\n", CheckSummary(report).c_str());
  return report.findings.empty() ? kClean : kFindings;
}

}  // namespace

extern const Command kCheckCommand = {
    "check", "ARCHIVE [-o FILE.csv]",
    "lists the database's faults as CSV (default: standard output): duplicates, conflicts, "
    "near-duplicates, cut texts, control characters, unused bits; exit 0 clean, 1 findings, 2 "
    "trouble",
    ListFaults, kTrouble};
