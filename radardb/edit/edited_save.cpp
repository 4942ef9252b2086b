#include "radardb/edit/edited_save.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "platform/output_file.h"
#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"

namespace radardb {

namespace {

constexpr std::uint32_t kLowBitsBelowDirection = (std::uint32_t{1} << kDirectionShift) - 1;

std::int32_t IntOf(const RecordTable& table, std::size_t row, Column column) {
  return table.Int(row, column);
}

void SetBits(std::uint32_t& packed, int shift, std::uint32_t mask, std::int32_t value) {
  packed = (packed & ~(mask << shift)) | (static_cast<std::uint32_t>(value) & mask) << shift;
}

// Writes `text` and its ending zero at the start of `field`; the bytes after stay as they were.
void SetText(char* field, std::size_t size, std::string_view text) {
  std::memcpy(field, text.data(), text.size());
  if (text.size() < size) field[text.size()] = '\0';
}

// `record` with the fields of `fields` taken from row `row` of `table`.
RadarRecord Edited(RadarRecord record, const RecordTable& table, std::size_t row,
                   EditedFields fields) {
  if (fields & kEditedSS) record.SS = static_cast<std::uint8_t>(IntOf(table, row, Column::kSS));
  if (fields & kEditedMS) record.MS = static_cast<std::uint8_t>(IntOf(table, row, Column::kMS));
  if (fields & kEditedLS) record.LS = static_cast<std::uint16_t>(IntOf(table, row, Column::kLS));
  if (fields & kEditedX) record.X = static_cast<std::uint16_t>(IntOf(table, row, Column::kX));
  if (fields & kEditedY) record.Y = static_cast<std::uint16_t>(IntOf(table, row, Column::kY));
  if (fields & kEditedSc) {
    SetBits(record.packed, kSubcatShift, kSubcatMask, IntOf(table, row, Column::kSc));
  }
  if (fields & kEditedMph) {
    SetBits(record.packed, kMphShift, kMphMask, IntOf(table, row, Column::kMph));
  }
  if (fields & kEditedSpd) {
    SetBits(record.packed, kSpeedShift, kSpeedMask, IntOf(table, row, Column::kSpd));
  }
  if (fields & kEditedDir) {
    const auto raw =
        static_cast<std::uint32_t>(SmallestRawDirection(IntOf(table, row, Column::kDir)));
    record.packed = (record.packed & kLowBitsBelowDirection) | raw << kDirectionShift;
  }
  if (fields & kEditedSpeed)
    SetText(record.Speed, kSpeedFieldSize, table.Text(row, Column::kSpeed));
  if (fields & kEditedRoad) SetText(record.Road, kRoadFieldSize, table.Text(row, Column::kRoad));
  if (fields & kEditedCity) SetText(record.City, kCityFieldSize, table.Text(row, Column::kCity));
  return record;
}

// True when the row shows `record`, the `id`-th record of its archive, as loading made it.
bool ShowsRecord(const RecordTable& table, std::size_t row, const RadarRecord& record,
                 std::uint32_t id) {
  const RecordTable::Ints ints = RecordRowInts(record, id);
  for (int c = 0; c < kIntColumnCount; ++c) {
    if (ints[c] != table.Int(row, static_cast<Column>(c))) return false;
  }
  return table.Text(row, Column::kSpeed) == record.SpeedText() &&
         table.Text(row, Column::kRoad) == record.RoadText() &&
         table.Text(row, Column::kCity) == record.CityText();
}

// Walks the table's rows as the source's records come, front to back. Every row's source comes
// at or before the record of the loaded row after it, as rows are only added after the row they
// copy and never moved, so each row is written as soon as its source has been read; a row with a
// record of its own (EditLog::OwnRecord) waits for none.
class EditedRecordWriter {
 public:
  EditedRecordWriter(const RecordTable& table, const EditLog& log, std::string& out)
      : table_(table), log_(log), out_(out) {
    for (std::size_t row = 0; row < table.size(); ++row) {
      const auto id = static_cast<std::uint32_t>(table.Int(row, Column::kIndex));
      if (id >= log.LoadedRecords() && log.OwnRecord(id) == nullptr) {
        wanted_.insert(log.Of(id).source);
      }
    }
    out_.clear();
    out_.reserve(table.size() * kRadarRecordSize);
  }

  void Visit(const RadarRecord& record, std::size_t index) {
    const auto source = static_cast<std::uint32_t>(index);
    ++seen_;
    if (wanted_.count(source) != 0) kept_.emplace(source, record);
    while (ok_ && next_ < table_.size()) {
      if (WriteOwnRecord()) continue;
      const auto id = static_cast<std::uint32_t>(table_.Int(next_, Column::kIndex));
      const EditLog::RowEdits edits = log_.Of(id);
      if (edits.source > source) return;
      if (id < log_.LoadedRecords()) {
        ok_ = id == source && (edits.fields != 0 || ShowsRecord(table_, next_, record, id));
        if (ok_) Edited(record, table_, next_, edits.fields).AppendTo(out_);
      } else {
        const auto kept = kept_.find(edits.source);
        ok_ = kept != kept_.end();
        if (ok_) Edited(kept->second, table_, next_, edits.fields).AppendTo(out_);
      }
      ++next_;
    }
  }

  // Writes the rows left that start from records of their own, once the archive is read.
  void Finish() {
    while (next_ < table_.size() && WriteOwnRecord()) {
    }
  }

  bool Complete() const { return ok_ && next_ == table_.size() && seen_ == log_.LoadedRecords(); }

 private:
  // Writes the next row when it starts from a record of its own, which no archive record need
  // come before; true when it did.
  bool WriteOwnRecord() {
    const auto id = static_cast<std::uint32_t>(table_.Int(next_, Column::kIndex));
    const RadarRecord* own = log_.OwnRecord(id);
    if (own == nullptr) return false;
    Edited(*own, table_, next_, log_.Of(id).fields).AppendTo(out_);
    ++next_;
    return true;
  }

  const RecordTable& table_;
  const EditLog& log_;
  std::string& out_;
  std::unordered_set<std::uint32_t> wanted_;
  std::unordered_map<std::uint32_t, RadarRecord> kept_;
  std::size_t next_ = 0;
  std::uint64_t seen_ = 0;
  bool ok_ = true;
};

class RecordSink final : public LzwOutputSink {
 public:
  explicit RecordSink(EditedRecordWriter& writer)
      : cutter_([&writer](const RadarRecord& record, std::size_t index) {
          writer.Visit(record, index);
        }) {}
  bool Write(const unsigned char* data, std::size_t size) override {
    cutter_.Add({reinterpret_cast<const char*>(data), size});
    return true;
  }

 private:
  RecordCutter cutter_;
};

// Compresses `expanded` and writes it through the atomic output writer.
Status SaveExpanded(std::string expanded, const std::string& outputPath) {
  std::string archive;
  Status status = platform::GuardMemory([&] {
    archive = CompressLzw(expanded);
    return archive.empty() ? Status::WriteError("The database is too large for an archive")
                           : Status();
  });
  if (!status.ok()) return status;
  expanded = std::string();
  return platform::WriteOutputFile(outputPath, archive);
}

}  // namespace

Status BuildEditedRecords(const std::string& sourceArchive, const RecordTable& table,
                          const EditLog& log, std::string& expanded) {
  return platform::GuardMemory([&] {
    EditedRecordWriter writer(table, log, expanded);
    RecordSink sink(writer);
    const Status read = DecompressLzw(sourceArchive, sink);
    if (!read.ok()) return read;
    writer.Finish();
    return writer.Complete() ? Status() : Status::BadFormat(kSourceChanged);
  });
}

Status SaveEditedDatabase(const std::string& sourceArchive, const RecordTable& table,
                          const EditLog& log, const std::string& outputPath) {
  std::string expanded;
  const Status status = BuildEditedRecords(sourceArchive, table, log, expanded);
  if (!status.ok()) return status;
  return SaveExpanded(std::move(expanded), outputPath);
}

Status SaveShownRows(const RecordTable& table, const std::string& outputPath) {
  constexpr EditedFields kEveryField = 0xFFF;
  std::string expanded;
  const Status status = platform::GuardMemory([&] {
    expanded.reserve(table.size() * kRadarRecordSize);
    for (std::size_t row = 0; row < table.size(); ++row) {
      Edited(RadarRecord(), table, row, kEveryField).AppendTo(expanded);
    }
    return Status();
  });
  if (!status.ok()) return status;
  return SaveExpanded(std::move(expanded), outputPath);
}

}  // namespace radardb
