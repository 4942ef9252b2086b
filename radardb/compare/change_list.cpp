#include "radardb/compare/change_list.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "radardb/compare/database_diff.h"
#include "radardb/compare/diff_report.h"
#include "radardb/csv/csv_export.h"
#include "radardb/csv/csv_import.h"
#include "radardb/csv/csv_reader.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "radardb/text/utf8_text.h"

namespace radardb {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// A line: the status, then each side's index and fourteen fields.
constexpr std::size_t kSideFields = 1 + kCsvFieldCount;
constexpr std::size_t kOldSide = 1;
constexpr std::size_t kNewSide = kOldSide + kSideFields;
constexpr std::size_t kLineFields = kNewSide + kSideFields;
constexpr std::uint32_t kLargestIndex = kNoPartner - 1;

// A record a line gives, and where it goes.
struct Placed {
  std::uint32_t newIndex;
  std::size_t line;
  std::string bytes;
};

std::vector<std::string> HeaderFields() {
  std::vector<std::string> fields;
  const std::string header = DiffCsvHeader();
  std::string_view rest = header;
  for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
    fields.emplace_back(rest.substr(0, comma));
    rest.remove_prefix(comma + 1);
  }
  fields.emplace_back(rest);
  return fields;
}

bool SideEmpty(const std::vector<std::string>& fields, std::size_t side) {
  return std::all_of(fields.begin() + side, fields.begin() + side + kSideFields,
                     [](const std::string& field) { return field.empty(); });
}

// `text` as a record index (decimal digits only), or false.
bool ParseIndex(const std::string& text, std::uint32_t& index) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos) {
    return false;
  }
  const std::uint64_t value = std::stoull(text);
  if (value > kLargestIndex) return false;
  index = static_cast<std::uint32_t>(value);
  return true;
}

// The fourteen fields the export writes for `record`, unquoted.
std::vector<std::string> ExportedFields(const RadarRecord& record) {
  const RecordTable::Ints ints = RecordRowInts(record, 0);
  std::vector<std::string> fields;
  for (int c = static_cast<int>(Column::kCoordX); c < kIntColumnCount; ++c) {
    fields.push_back(std::to_string(ints[c]));
  }
  for (const std::string_view text : {record.SpeedText(), record.RoadText(), record.CityText()}) {
    fields.emplace_back(text);
  }
  return fields;
}

// Applies a change list line by line, then lays the records out.
class ChangeList {
 public:
  explicit ChangeList(std::string_view old)
      : old_(old), count_(old.size() / kRadarRecordSize), named_(count_, false) {}

  // Takes one line's fields; fails with the reason (without the line number).
  Status TakeLine(const std::vector<std::string>& fields, std::size_t line) {
    if (fields.size() != kLineFields) {
      return Status::BadFormat("expected " + std::to_string(kLineFields) + " fields, found " +
                               std::to_string(fields.size()));
    }
    const std::string& word = fields[0];
    const bool removed = word == ChangeWord(RecordChange::kRemoved);
    const bool added = word == ChangeWord(RecordChange::kAdded);
    if (!removed && !added && word != ChangeWord(RecordChange::kChanged) &&
        word != ChangeWord(RecordChange::kMoved) &&
        word != ChangeWord(RecordChange::kMovedChanged)) {
      // Appended, not "x" + string: GCC 12 optimising warns falsely (-Wrestrict) on the latter.
      return Status::BadFormat(
          std::string("'").append(PrintableText(word)).append("' is not a change diff writes"));
    }
    if (added != SideEmpty(fields, kOldSide)) {
      return Status::BadFormat(
          added ? std::string("an added record has old fields")
                : std::string("a ").append(word).append(" record has no old fields"));
    }
    if (removed != SideEmpty(fields, kNewSide)) {
      return Status::BadFormat(
          removed ? std::string("a removed record has new fields")
                  : std::string("a ").append(word).append(" record has no new fields"));
    }
    if (!added) {
      if (Status status = TakeOld(fields); !status.ok()) return status;
    }
    if (!removed) return TakeNew(fields, line);
    return Status();
  }

  // The plan, once every line is taken; fails when two lines place a record at the same
  // new_index, at the later of them.
  Status LayOut(ChangePlan& plan, std::size_t& failedLine) {
    std::stable_sort(placed_.begin(), placed_.end(),
                     [](const Placed& a, const Placed& b) { return a.newIndex < b.newIndex; });
    for (std::size_t i = 1; i < placed_.size(); ++i) {
      if (placed_[i].newIndex != placed_[i - 1].newIndex) continue;
      const Placed& later = placed_[i].line > placed_[i - 1].line ? placed_[i] : placed_[i - 1];
      const Placed& earlier = placed_[i].line > placed_[i - 1].line ? placed_[i - 1] : placed_[i];
      failedLine = later.line;
      return Status::BadFormat("new_index " + std::to_string(later.newIndex) +
                               " is used twice (also on line " + std::to_string(earlier.line) +
                               ")");
    }
    for (std::uint32_t index = 0; index < count_; ++index) {
      if (named_[index]) plan.named.push_back(index);
    }
    std::size_t kept = count_ - plan.named.size();
    plan.places.reserve(placed_.size());
    plan.given.reserve(placed_.size() * kRadarRecordSize);
    std::size_t given = 0;
    for (std::uint32_t at = 0; given < placed_.size() || kept > 0; ++at) {
      if (given < placed_.size() && (placed_[given].newIndex <= at || kept == 0)) {
        plan.places.push_back(at);
        plan.given += placed_[given++].bytes;
      } else {
        --kept;
      }
    }
    return Status();
  }

 private:
  Status TakeOld(const std::vector<std::string>& fields) {
    std::uint32_t index = 0;
    if (!ParseIndex(fields[kOldSide], index) || index >= count_) {
      return Status::BadFormat("old_index " + PrintableText(fields[kOldSide]) +
                               " is out of range: OLD has " + GroupedNumber(count_) + " records");
    }
    if (named_[index]) {
      return Status::BadFormat("old_index " + std::to_string(index) + " is used twice");
    }
    RadarRecord record;
    record.Read(reinterpret_cast<const unsigned char*>(old_.data()) +
                std::size_t{index} * kRadarRecordSize);
    const std::vector<std::string> expected = ExportedFields(record);
    if (!std::equal(expected.begin(), expected.end(), fields.begin() + kOldSide + 1)) {
      return Status::BadFormat("the old fields are not those of record " + std::to_string(index) +
                               " of OLD");
    }
    named_[index] = true;
    return Status();
  }

  Status TakeNew(const std::vector<std::string>& fields, std::size_t line) {
    Placed placed{0, line, {}};
    if (!ParseIndex(fields[kNewSide], placed.newIndex)) {
      return Status::BadFormat("new_index " + PrintableText(fields[kNewSide]) +
                               " is not a record index");
    }
    const std::vector<std::string> newFields(fields.begin() + kNewSide + 1, fields.end());
    RadarRecord record;
    if (Status status = BuildRecord(newFields, record); !status.ok()) {
      return Status::BadFormat("new record: " + status.message());
    }
    record.AppendTo(placed.bytes);
    placed_.push_back(std::move(placed));
    return Status();
  }

  std::string_view old_;
  std::size_t count_;
  std::vector<bool> named_;  // for each OLD record: a line names it
  std::vector<Placed> placed_;
};

Status AtLine(std::size_t line, const Status& status) {
  return Status::Error(status.code(), "line " + std::to_string(line) + ": " + status.message());
}

Status Plan(std::string_view old, std::string_view csv, ChangePlan& plan) {
  if (csv.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
    csv.remove_prefix(kUtf8ByteOrderMark.size());
  }
  CsvReader reader(csv, kLineFields);
  std::vector<std::string> fields;
  if (reader.Next(fields) != CsvReader::Result::kRecord || fields != HeaderFields()) {
    return AtLine(1, Status::BadFormat("not a change list: the header is not the one diff writes"));
  }
  ChangeList list(old);
  for (;;) {
    const CsvReader::Result result = reader.Next(fields);
    if (result == CsvReader::Result::kEnd) break;
    if (result == CsvReader::Result::kError) {
      return AtLine(reader.line(), Status::BadFormat(reader.error()));
    }
    if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
    if (Status status = list.TakeLine(fields, reader.line()); !status.ok()) {
      return AtLine(reader.line(), status);
    }
  }
  std::size_t failedLine = 0;
  if (Status status = list.LayOut(plan, failedLine); !status.ok()) {
    return AtLine(failedLine, status);
  }
  return Status();
}

}  // namespace

Status PlanChangeList(std::string_view old, std::string_view csv, ChangePlan& plan) {
  plan = ChangePlan();
  const Status status = platform::GuardMemory([&] { return Plan(old, csv, plan); });
  if (!status.ok()) plan = ChangePlan();
  return status;
}

Status ApplyChangeList(std::string_view old, std::string_view csv, std::string& patched) {
  patched.clear();
  ChangePlan plan;
  Status status = PlanChangeList(old, csv, plan);
  if (!status.ok()) return status;
  status = platform::GuardMemory([&] {
    const std::size_t count = old.size() / kRadarRecordSize;
    const std::size_t total = count - plan.named.size() + plan.places.size();
    patched.reserve(total * kRadarRecordSize);
    std::size_t named = 0;
    std::size_t given = 0;
    std::size_t next = 0;
    for (std::size_t at = 0; at < total; ++at) {
      if (given < plan.places.size() && plan.places[given] == at) {
        patched.append(plan.given, given++ * kRadarRecordSize, kRadarRecordSize);
        continue;
      }
      while (named < plan.named.size() && plan.named[named] == next) {
        ++named;
        ++next;
      }
      patched.append(old.substr(next++ * kRadarRecordSize, kRadarRecordSize));
    }
    return Status();
  });
  if (!status.ok()) patched = std::string();
  return status;
}

}  // namespace radardb
