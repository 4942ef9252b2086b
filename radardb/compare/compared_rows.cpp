#include "radardb/compare/compared_rows.h"

#include <algorithm>
#include <array>
#include <new>

#include "radardb/csv/csv_export.h"
#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

constexpr std::int32_t Code(RecordChange change) { return static_cast<std::int32_t>(change); }

// "moved" names a range of codes.
static_assert(Code(RecordChange::kMovedChanged) == Code(RecordChange::kMoved) + 1);
constexpr FieldChoice kChangeChoices[] = {
    {"added", Code(RecordChange::kAdded), Code(RecordChange::kAdded)},
    {"removed", Code(RecordChange::kRemoved), Code(RecordChange::kRemoved)},
    {"moved", Code(RecordChange::kMoved), Code(RecordChange::kMovedChanged)},
    {"changed", Code(RecordChange::kChanged), Code(RecordChange::kChanged)},
    {"unchanged", Code(RecordChange::kUnchanged), Code(RecordChange::kUnchanged)},
};
constexpr std::string_view kChangeHeader = ",Change";

void AppendCopy(const RecordTable& from, std::uint32_t row, RecordTable& to) {
  RecordTable::Ints ints;
  for (int column = 0; column < kIntColumnCount; ++column) {
    ints[column] = from.Int(row, static_cast<Column>(column));
  }
  to.Append(ints, from.Text(row, Column::kSpeed), from.Text(row, Column::kRoad),
            from.Text(row, Column::kCity));
}

}  // namespace

std::span<const RowField> ComparedFields() {
  static const auto fields = [] {
    std::array<RowField, kColumnCount + 1> all{};
    std::ranges::copy(RecordFields(), all.begin());
    all.back() = {"Change", RowField::Kind::kChoice, kChangeField, false, kChangeChoices};
    return all;
  }();
  return fields;
}

ComparedRows::ComparedRows(std::shared_ptr<const RecordTable> newRows, const RecordTable& oldRows,
                           DatabaseDiff diff)
    : newRows_(std::move(newRows)), changes_(std::move(diff.newChanges)), counts_(diff.counts) {
  for (const std::uint32_t row : diff.removed) AppendCopy(oldRows, row, removed_);
  for (std::uint32_t row = 0; row < changes_.size(); ++row) {
    const RecordChange change = changes_[row];
    if (change == RecordChange::kUnchanged || change == RecordChange::kAdded) continue;
    earlierRows_.push_back(row);
    AppendCopy(oldRows, diff.oldPartners[row], earlier_);
  }
}

std::pair<const RecordTable*, std::uint32_t> ComparedRows::Locate(std::uint32_t row) const {
  if (!IsRemoved(row)) return {newRows_.get(), row};
  return {&removed_, row - static_cast<std::uint32_t>(newRows_->size())};
}

std::pair<const RecordTable*, std::uint32_t> ComparedRows::Earlier(std::uint32_t row) const {
  const auto at = std::lower_bound(earlierRows_.begin(), earlierRows_.end(), row);
  if (at == earlierRows_.end() || *at != row) return {nullptr, 0};
  return {&earlier_, static_cast<std::uint32_t>(at - earlierRows_.begin())};
}

std::int32_t ComparedRows::Int(std::uint32_t row, int field) const {
  if (field == kChangeField) return Code(Change(row));
  const auto [table, at] = Locate(row);
  return table->Int(at, static_cast<Column>(field));
}

std::string_view ComparedRows::Text(std::uint32_t row, int field) const {
  if (field == kChangeField) return ChangeWord(Change(row));
  const auto [table, at] = Locate(row);
  return table->Text(at, static_cast<Column>(field));
}

Status CompareWithArchive(const std::string& oldArchive, std::shared_ptr<const RecordTable> newRows,
                          std::shared_ptr<const ComparedRows>& compared) {
  return platform::GuardMemory([&] {
    RecordTable oldRows;
    if (Status read = ReadArchiveRows(oldArchive, oldRows); !read.ok()) return read;
    DatabaseDiff diff = CompareDatabases(oldRows, *newRows);
    if (!diff.status.ok()) return diff.status;
    compared = std::make_shared<const ComparedRows>(std::move(newRows), oldRows, std::move(diff));
    return Status();
  });
}

Status ExportComparedCsvFile(const ComparedRows& rows, const RowOrder& order,
                             const std::string& path) {
  return WriteCsvFile(path, [&](std::FILE* out) {
    std::string chunk(kCsvHeader);
    chunk.append(kChangeHeader).append(kCsvLineEnd);
    for (const std::uint32_t row : order) {
      const auto [table, at] = rows.Locate(row);
      AppendCsvFields(*table, at, chunk);
      chunk.push_back(',');
      chunk.append(ChangeWord(rows.Change(row))).append(kCsvLineEnd);
      if (!FlushCsvChunk(chunk, out, false)) return false;
    }
    return FlushCsvChunk(chunk, out, true);
  });
}

}  // namespace radardb
