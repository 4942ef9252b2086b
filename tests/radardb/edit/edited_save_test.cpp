#include "radardb/edit/edited_save.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "radardb/archive/lzw_archive.h"
#include "radardb/archive/lzw_writer.h"
#include "radardb/records/load_database.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "tests/support/scratch_folder.h"

using namespace radardb;

namespace {

constexpr int kRecords = 5;

// A record with every byte set, unused bits, raw direction and the bytes after each text's end
// included, so a save that rebuilt a field from its shown value would differ.
std::string Record(int i) {
  std::string bytes(kRadarRecordSize, '\0');
  for (std::size_t b = 0; b < bytes.size(); ++b) {
    bytes[b] = static_cast<char>(0x41 + (b * 7 + static_cast<std::size_t>(i) * 3) % 26);
  }
  // Texts end early, with letters after their zero; direction 2000 + i with unused bits set.
  bytes[12 + 5] = '\0';
  bytes[53 + 9] = '\0';
  bytes[121 + 3] = '\0';
  const std::uint32_t packed = (2000u + static_cast<std::uint32_t>(i)) << 19 | 0x3F7A5;
  for (int k = 0; k < 4; ++k) bytes[8 + k] = static_cast<char>(packed >> (24 - 8 * k));
  return bytes;
}

// `bytes` (a record) with spd set to `spd`, every other bit kept.
std::string WithSpd(const std::string& bytes, std::uint32_t spd) {
  RadarRecord edited;
  edited.Read(reinterpret_cast<const unsigned char*>(bytes.data()));
  edited.packed = (edited.packed & ~(kSpeedMask << kSpeedShift)) | spd << kSpeedShift;
  std::string out;
  edited.AppendTo(out);
  return out;
}

class CollectSink final : public LzwOutputSink {
 public:
  bool Write(const unsigned char* data, std::size_t size) override {
    bytes.append(reinterpret_cast<const char*>(data), size);
    return true;
  }
  std::string bytes;
};

class EditedSaveTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kRecords; ++i) original_ += Record(i);
    WriteFileBytes(folder_ / "radar.lzw", CompressLzw(original_, 600));
    LoadOutcome loaded = LoadDatabase(Source());
    ASSERT_EQ(loaded.result, LoadOutcome::Result::kLoaded);
    table_ = std::move(loaded.rows);
    log_ = EditLog(static_cast<std::uint32_t>(table_.size()));
  }

  std::string Source() const { return folder_ / "radar.lzw"; }

  // Saves to a new archive and expands it again.
  std::string SavedBytes() {
    const std::string saved = folder_ / "saved.lzw";
    const Status status = SaveEditedDatabase(Source(), table_, log_, saved);
    EXPECT_TRUE(status.ok()) << status.message();
    CollectSink sink;
    EXPECT_TRUE(DecompressLzw(saved, sink).ok());
    return sink.bytes;
  }

  void Edit(std::uint32_t row, Column column, const std::string& value) {
    CellChange change;
    const Status status = PrepareCellChange(table_, log_, row, column, value, change);
    ASSERT_TRUE(status.ok()) << status.message();
    ApplyCellChange(table_, log_, change, true);
  }

  ScratchFolder folder_;
  std::string original_;
  RecordTable table_;
  EditLog log_;
};

TEST_F(EditedSaveTest, SavingWithoutAnEditGivesTheSameBytes) { EXPECT_EQ(SavedBytes(), original_); }

struct FieldCase {
  const char* name;
  Column column;
  const char* value;
  std::size_t firstByte;  // the edited field's bytes in the record
  std::size_t byteCount;
  std::uint32_t bitMask;       // for `packed`: the bits that may differ
  std::size_t secondByte = 0;  // more of the field's bytes, for CoordY
  std::size_t secondCount = 0;
};

// The bits of record 2 that differ after one edit lie in exactly the edited field; every other
// record is the same byte for byte.
class EditedFieldTest : public EditedSaveTest, public testing::WithParamInterface<FieldCase> {};

TEST_P(EditedFieldTest, OnlyTheEditedFieldsBitsChange) {
  const FieldCase& c = GetParam();
  Edit(2, c.column, c.value);
  const std::string saved = SavedBytes();
  ASSERT_EQ(saved.size(), original_.size());
  const std::size_t start = 2 * kRadarRecordSize;
  EXPECT_EQ(saved.substr(0, start), original_.substr(0, start));
  EXPECT_EQ(saved.substr(start + kRadarRecordSize), original_.substr(start + kRadarRecordSize));
  bool differs = false;
  for (std::size_t b = 0; b < kRadarRecordSize; ++b) {
    const auto was = static_cast<unsigned char>(original_[start + b]);
    const auto now = static_cast<unsigned char>(saved[start + b]);
    const bool inField = (b >= c.firstByte && b < c.firstByte + c.byteCount) ||
                         (b >= c.secondByte && b < c.secondByte + c.secondCount);
    std::uint32_t allowed = inField ? 0xFF : 0;
    if (c.bitMask != 0 && b >= 8 && b < 12) allowed = c.bitMask >> (24 - 8 * (b - 8)) & 0xFF;
    EXPECT_EQ((was ^ now) & ~allowed, 0u) << c.name << ": byte " << b;
    differs |= was != now;
  }
  EXPECT_TRUE(differs) << c.name;
  // The saved record reads back as the row shows it.
  RadarRecord record;
  record.Read(reinterpret_cast<const unsigned char*>(saved.data() + start));
  const RecordTable::Ints ints = RecordRowInts(record, 2);
  for (int i = 0; i < kIntColumnCount; ++i) {
    EXPECT_EQ(ints[i], table_.Int(2, static_cast<Column>(i))) << c.name << ": column " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryField, EditedFieldTest,
    testing::Values(
        FieldCase{"SS", Column::kSS, "7", 0, 1, 0}, FieldCase{"MS", Column::kMS, "250", 1, 1, 0},
        FieldCase{"LS", Column::kLS, "65535", 2, 2, 0}, FieldCase{"X", Column::kX, "0", 4, 2, 0},
        FieldCase{"Y", Column::kY, "12", 6, 2, 0}, FieldCase{"sc", Column::kSc, "0", 8, 0, 0x3E0},
        FieldCase{"mph", Column::kMph, "0", 8, 0, 0x400},
        FieldCase{"spd", Column::kSpd, "70", 8, 0, 0x7F800},
        FieldCase{"dir", Column::kDir, "-180", 8, 0, 0xFFF80000},
        // CoordX and CoordY: SS, MS, LS and X (Y); the other nibbles kept.
        FieldCase{"CoordX", Column::kCoordX, "1000", 0, 6, 0},
        FieldCase{"CoordY", Column::kCoordY, "3007", 0, 4, 0, 6, 2},
        FieldCase{"Speed", Column::kSpeed, "130", 12, 41, 0},
        FieldCase{"Road", Column::kRoad, "A1", 53, 68, 0},
        FieldCase{"City", Column::kCity, "Köln", 121, 120, 0}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST_F(EditedSaveTest, DeletingAndUndoingGivesTheSameBytes) {
  const std::vector<std::uint32_t> rows = {0, 2, 3};
  const RowsChange removed = RemoveRows(table_, rows);
  EXPECT_EQ(table_.size(), 2u);
  PutBackRows(table_, log_, removed);
  EXPECT_EQ(SavedBytes(), original_);
}

TEST_F(EditedSaveTest, DeletedRowsAreGoneAndCopiesStandAfterTheirRow) {
  const std::vector<std::uint32_t> copied = {1, 3};
  PutBackRows(table_, log_, MakeCopies(table_, log_, copied));  // 0 1 1' 2 3 3' 4
  Edit(2, Column::kSpd, "99");
  const std::vector<std::uint32_t> removed = {0, 3};
  RemoveRows(table_, removed);  // 1 1' 3 3' 4
  EXPECT_EQ(SavedBytes(), Record(1) + WithSpd(Record(1), 99) + Record(3) + Record(3) + Record(4));
}

TEST_F(EditedSaveTest, RecordsOfTheirOwnKeepEveryByteWhereverTheyStand) {
  const std::vector<std::uint32_t> removed = {1};
  RemoveRows(table_, removed);  // 0 2 3 4
  const std::vector<std::uint32_t> places = {0, 3};
  PutBackRows(table_, log_, MakeRecordRows(table_, log_, Record(10) + Record(11), places));
  const std::vector<std::uint32_t> copied = {3};
  PutBackRows(table_, log_, MakeCopies(table_, log_, copied));  // 10 0 2 11 11' 3 4
  Edit(4, Column::kSpd, "99");
  EXPECT_EQ(SavedBytes(), Record(10) + Record(0) + Record(2) + Record(11) +
                              WithSpd(Record(11), 99) + Record(3) + Record(4));
}

TEST_F(EditedSaveTest, ASourceChangedSinceLoadingIsRefused) {
  std::string changed = original_;
  changed[kRadarRecordSize + 13] ^= 1;  // a letter of record 1's Speed
  WriteFileBytes(folder_ / "radar.lzw", CompressLzw(changed));
  std::string expanded;
  const Status status = BuildEditedRecords(Source(), table_, log_, expanded);
  EXPECT_EQ(status.message(), kSourceChanged);
}

}  // namespace
