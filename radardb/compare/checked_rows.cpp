#include "radardb/compare/checked_rows.h"

#include <algorithm>
#include <array>
#include <string>

namespace radardb {

namespace {

constexpr std::int32_t Bit(FindingKind kind) { return std::int32_t{1} << static_cast<int>(kind); }
constexpr std::int32_t kEveryKind = (std::int32_t{1} << kFindingKindCount) - 1;

constexpr FieldChoice kFindingChoices[] = {
    {"duplicate", Bit(FindingKind::kDuplicate), Bit(FindingKind::kDuplicate)},
    {"conflict", Bit(FindingKind::kConflict), Bit(FindingKind::kConflict)},
    {"near-duplicate", Bit(FindingKind::kNearDuplicate), Bit(FindingKind::kNearDuplicate)},
    {"cut-text", Bit(FindingKind::kCutText), Bit(FindingKind::kCutText)},
    {"control-character", Bit(FindingKind::kControlCharacter), Bit(FindingKind::kControlCharacter)},
    {"unused-bits", Bit(FindingKind::kUnusedBits), Bit(FindingKind::kUnusedBits)},
    {"any", kEveryKind, kEveryKind},
};

// The words of every set of kinds, by its bits.
const std::array<std::string, kEveryKind + 1>& KindWords() {
  static const auto words = [] {
    std::array<std::string, kEveryKind + 1> all;
    for (std::int32_t bits = 0; bits <= kEveryKind; ++bits) {
      for (std::size_t kind = 0; kind < kFindingKindCount; ++kind) {
        if ((bits & (1 << kind)) == 0) continue;
        if (!all[bits].empty()) all[bits].append(", ");
        all[bits].append(FindingWord(static_cast<FindingKind>(kind)));
      }
    }
    return all;
  }();
  return words;
}

}  // namespace

std::span<const RowField> CheckedFields() {
  static const auto fields = [] {
    std::array<RowField, kColumnCount + 1> all{};
    std::ranges::copy(RecordFields(), all.begin());
    all.back() = {"Finding", RowField::Kind::kFlags, kFindingField, false, kFindingChoices};
    return all;
  }();
  return fields;
}

CheckedRows::CheckedRows(std::shared_ptr<const RecordTable> rows, CheckReport report)
    : rows_(std::move(rows)), report_(std::move(report)), kinds_(rows_->size()) {
  for (const Finding& finding : report_.findings) {
    if (finding.record < kinds_.size()) kinds_[finding.record] |= Bit(finding.kind);
  }
}

std::int32_t CheckedRows::Int(std::uint32_t row, int field) const {
  if (field == kFindingField) return row < kinds_.size() ? kinds_[row] : 0;
  return rows_->Int(row, static_cast<Column>(field));
}

std::string_view CheckedRows::Text(std::uint32_t row, int field) const {
  if (field == kFindingField) return KindWords()[Int(row, field)];
  return rows_->Text(row, static_cast<Column>(field));
}

std::span<const Finding> CheckedRows::FindingsOf(std::uint32_t row) const {
  const auto [begin, end] = std::equal_range(
      report_.findings.begin(), report_.findings.end(), Finding{row, FindingKind::kDuplicate},
      [](const Finding& a, const Finding& b) { return a.record < b.record; });
  return {begin, end};
}

Status CheckLoadedRows(std::shared_ptr<const RecordTable> rows,
                       std::shared_ptr<const CheckedRows>& checked) {
  return platform::GuardMemory([&] {
    CheckReport report;
    if (Status status = CheckTable(*rows, kDefaultTolerance, report); !status.ok()) return status;
    checked = std::make_shared<const CheckedRows>(std::move(rows), std::move(report));
    return Status();
  });
}

}  // namespace radardb
