#include "radardb/compare/check_report.h"

#include <string_view>

#include "radardb/compare/diff_report.h"
#include "radardb/csv/csv_export.h"

namespace radardb {

namespace {

constexpr std::string_view kHeader = "index,finding,other_index,detail";
constexpr std::string_view kFieldNames[] = {"Speed", "Road", "City"};
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Bytes and the unused bits both fit two hexadecimal digits.
void AppendHexByte(std::uint32_t value, std::string& out) {
  out.append("0x");
  out.push_back(kHexDigits[value >> 4 & 0xF]);
  out.push_back(kHexDigits[value & 0xF]);
}

void AppendDetail(const Finding& finding, std::string& out) {
  switch (finding.kind) {
    case FindingKind::kCutText:
      out.append(kFieldNames[finding.field]);
      break;
    case FindingKind::kControlCharacter:
      out.append(kFieldNames[finding.field]).push_back(' ');
      AppendHexByte(finding.value, out);
      break;
    case FindingKind::kUnusedBits:
      AppendHexByte(finding.value, out);
      break;
    case FindingKind::kDuplicate:
    case FindingKind::kConflict:
    case FindingKind::kNearDuplicate:
      break;
  }
}

void AppendLine(const Finding& finding, std::string& out) {
  AppendCsvInt(finding.record, out);
  out.push_back(',');
  out.append(FindingWord(finding.kind));
  out.push_back(',');
  if (finding.other != kNoOtherRecord) AppendCsvInt(finding.other, out);
  out.push_back(',');
  AppendDetail(finding, out);
  out.append(kCsvLineEnd);
}

}  // namespace

bool WriteCheckCsv(const CheckReport& report, std::FILE* out) {
  std::string chunk(kHeader);
  chunk.append(kCsvLineEnd);
  for (const Finding& finding : report.findings) {
    AppendLine(finding, chunk);
    if (!FlushCsvChunk(chunk, out, false)) return false;
  }
  return FlushCsvChunk(chunk, out, true);
}

std::string CheckSummary(const CheckReport& report) {
  std::string summary;
  for (std::size_t kind = 0; kind < kFindingKindCount; ++kind) {
    if (kind > 0) summary.append(", ");
    summary.append(GroupedNumber(report.counts[kind])).push_back(' ');
    summary.append(FindingWord(static_cast<FindingKind>(kind)));
  }
  return summary + " in " + GroupedNumber(report.records) + " records";
}

}  // namespace radardb
