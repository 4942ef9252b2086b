#include "radardb/compare/diff_report.h"

#include <string_view>

#include "radardb/csv/csv_export.h"

namespace radardb {

namespace {

constexpr std::string_view kStatusName = "status";
constexpr std::string_view kIndexName = "index";
constexpr std::string_view kOldPrefix = "old_";
constexpr std::string_view kNewPrefix = "new_";
// The index and the fourteen fields of one record.
constexpr int kFieldsPerSide = 1 + kCsvFieldCount;
constexpr std::size_t kDigitsPerGroup = 3;

void AppendSideNames(std::string_view prefix, std::string& out) {
  out.append(prefix).append(kIndexName);
  std::string_view names = kCsvHeader;
  while (!names.empty()) {
    const std::size_t comma = names.find(',');
    out.push_back(',');
    out.append(prefix).append(names.substr(0, comma));
    names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 1);
  }
}

// Appends the side's fields, "#" first, or as many empty fields when there is no row.
void AppendSide(const RecordTable& rows, std::uint32_t row, std::string& out) {
  if (row == kNoPartner) {
    out.append(kFieldsPerSide - 1, ',');
    return;
  }
  AppendCsvInt(rows.Int(row, Column::kIndex), out);
  out.push_back(',');
  AppendCsvFields(rows, row, out);
}

void AppendLine(RecordChange change, const RecordTable& oldRows, std::uint32_t oldRow,
                const RecordTable& newRows, std::uint32_t newRow, std::string& out) {
  out.append(ChangeWord(change));
  out.push_back(',');
  AppendSide(oldRows, oldRow, out);
  out.push_back(',');
  AppendSide(newRows, newRow, out);
  out.append(kCsvLineEnd);
}

}  // namespace

std::string DiffCsvHeader() {
  std::string header(kStatusName);
  header.push_back(',');
  AppendSideNames(kOldPrefix, header);
  header.push_back(',');
  AppendSideNames(kNewPrefix, header);
  return header;
}

bool WriteDiffCsv(const RecordTable& oldRows, const RecordTable& newRows, const DatabaseDiff& diff,
                  std::FILE* out) {
  std::string chunk = DiffCsvHeader();
  chunk.append(kCsvLineEnd);
  for (std::uint32_t row = 0; row < diff.newChanges.size(); ++row) {
    const RecordChange change = diff.newChanges[row];
    if (change == RecordChange::kUnchanged) continue;
    AppendLine(change, oldRows, diff.oldPartners[row], newRows, row, chunk);
    if (!FlushCsvChunk(chunk, out, false)) return false;
  }
  for (const std::uint32_t row : diff.removed) {
    AppendLine(RecordChange::kRemoved, oldRows, row, newRows, kNoPartner, chunk);
    if (!FlushCsvChunk(chunk, out, false)) return false;
  }
  return FlushCsvChunk(chunk, out, true);
}

std::string DiffSummary(const ChangeCounts& counts) {
  return GroupedNumber(counts.added) + " added, " + GroupedNumber(counts.removed) + " removed, " +
         GroupedNumber(counts.moved) + " moved, " + GroupedNumber(counts.changed) + " changed, " +
         GroupedNumber(counts.unchanged) + " unchanged";
}

std::string GroupedNumber(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % kDigitsPerGroup == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

}  // namespace radardb
