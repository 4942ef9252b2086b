// kestrolan-db diff: what changed between two releases of a database, as diff(1) reports files.
#include <charconv>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <thread>

#include "platform/output_file.h"
#include "radardb/compare/database_diff.h"
#include "radardb/compare/diff_report.h"
#include "radardb/records/record_scan.h"
#include "radardb/text/utf8_text.h"
#include "tools/commands.h"

using namespace radardb;
using platform::Status;

namespace {

// Exit statuses as diff(1) has them.
constexpr int kNoDifferences = 0;
constexpr int kDifferences = 1;
constexpr int kTrouble = 2;

struct DiffArgs {
  std::string oldArchive;
  std::string newArchive;
  std::string csv = "-";
  int tolerance = kDefaultTolerance;
  bool summaryOnly = false;
};

std::optional<int> ParseTolerance(const std::string& text) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 ||
      value > kMaxTolerance) {
    return std::nullopt;
  }
  return value;
}

std::optional<DiffArgs> ParseDiffArgs(const CommandArgs& args) {
  DiffArgs parsed;
  bool haveOutput = false, haveTolerance = false;
  int archives = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "-o" && hasValue && !haveOutput && !args[i + 1].empty()) {
      parsed.csv = args[++i];
      haveOutput = true;
    } else if (arg == "--tolerance" && hasValue && !haveTolerance) {
      const std::optional<int> tolerance = ParseTolerance(args[++i]);
      if (!tolerance) return std::nullopt;
      parsed.tolerance = *tolerance;
      haveTolerance = true;
    } else if (arg == "--summary" && !parsed.summaryOnly) {
      parsed.summaryOnly = true;
    } else if (!arg.empty() && arg[0] != '-' && archives < 2) {
      (archives++ == 0 ? parsed.oldArchive : parsed.newArchive) = arg;
    } else {
      return std::nullopt;
    }
  }
  if (archives != 2 || (parsed.summaryOnly && haveOutput)) return std::nullopt;
  return parsed;
}

// Reads OLD on a second thread while NEW is read on this one. Reports each archive that fails.
bool ReadBoth(const DiffArgs& args, RecordTable& oldRows, RecordTable& newRows) {
  Status oldRead;
  std::thread oldReader([&] { oldRead = ReadArchiveRows(args.oldArchive, oldRows); });
  Status newRead = ReadArchiveRows(args.newArchive, newRows);
  oldReader.join();
  for (const auto& [path, status] :
       {std::pair{&args.oldArchive, &oldRead}, std::pair{&args.newArchive, &newRead}}) {
    if (!status->ok()) {
      std::fprintf(stderr, "kestrolan-db: %s: %s\n", PrintableText(*path).c_str(),
                   status->message().c_str());
    }
  }
  return oldRead.ok() && newRead.ok();
}

int CompareArchives(const CommandArgs& args) {
  const std::optional<DiffArgs> parsed = ParseDiffArgs(args);
  if (!parsed) return UsageError(CommandNamed("diff"));
  if (parsed->csv == parsed->oldArchive || parsed->csv == parsed->newArchive) {
    std::fprintf(stderr, "kestrolan-db diff: '%s' would replace an archive; name another with -o\n",
                 PrintableText(parsed->csv).c_str());
    return kTrouble;
  }
  RecordTable oldRows, newRows;
  if (!ReadBoth(*parsed, oldRows, newRows)) return kTrouble;
  const DatabaseDiff diff = CompareDatabases(oldRows, newRows, parsed->tolerance);
  if (!diff.status.ok()) {
    std::fprintf(stderr, "kestrolan-db diff: %s\n", diff.status.message().c_str());
    return kTrouble;
  }
  if (!parsed->summaryOnly) {
    const Status written = platform::WriteOutputFile(
        parsed->csv, [&](std::FILE* out) { WriteDiffCsv(oldRows, newRows, diff, out); });
    if (!written.ok()) {
      std::fprintf(stderr, "kestrolan-db diff: %s\n", written.message().c_str());
      return kTrouble;
    }
  }
  std::fprintf(stderr, "%s\n", DiffSummary(diff.counts).c_str());
  return diff.HasDifferences() ? kDifferences : kNoDifferences;
}

}  // namespace

extern const Command kDiffCommand = {
    "diff", "OLD NEW [--tolerance N] [-o FILE.csv] [--summary]",
    "lists the records added, removed, moved or changed from OLD to NEW as CSV (default: "
    "standard output; --summary: the counts only); exit 0 same, 1 different, 2 trouble",
    CompareArchives, kTrouble};
