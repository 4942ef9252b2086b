#include "radardb/records/load_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "radardb/archive/lzw_writer.h"
#include "radardb/records/radar_record.h"
#include "radardb/records/record_scan.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>

#include "tests/support/child_process.h"
#endif

using namespace radardb;

namespace {

namespace fs = std::filesystem;

using Result = LoadOutcome::Result;

// A record whose fields all depend on `i`, so rows cannot be mixed up unnoticed.
std::string Record(int i) {
  RadarRecord record;
  record.SS = static_cast<std::uint8_t>(i);
  record.MS = static_cast<std::uint8_t>(i * 7);
  record.LS = static_cast<std::uint16_t>(i * 1000);
  record.X = static_cast<std::uint16_t>(i * 13);
  record.Y = static_cast<std::uint16_t>(i * 17);
  record.packed = static_cast<std::uint32_t>(i) << 19 | 0x1F;
  const std::string speed = std::to_string(i * 10);
  speed.copy(record.Speed, kSpeedFieldSize);
  std::string("road ").append(std::to_string(i)).copy(record.Road, kRoadFieldSize);
  std::string bytes;
  record.AppendTo(bytes);
  return bytes;
}

std::string Records(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += Record(i);
  return bytes;
}

class LoadDatabaseTest : public testing::Test {
 protected:
  std::string WriteArchive(const std::string& expanded, const std::string& name = "radar.lzw") {
    return WriteFile(name, CompressLzw(expanded));
  }
  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  std::vector<std::string> FolderEntries() const { return scratch_.Entries(); }

  ScratchFolder scratch_;
  const fs::path& dir_ = scratch_.path();
};

struct SizeCase {
  const char* fault;
  std::size_t expandedSize;
  std::size_t rows;
  std::string message;
  Result result;
};

// Test names show the fault a case would catch.
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.fault; }

class LoadSizeTest : public LoadDatabaseTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(LoadSizeTest, RowsMessageAndExportStateFollowTheExpandedSize) {
  const SizeCase& c = GetParam();
  const std::string archive = WriteArchive(Records(4).substr(0, c.expandedSize));
  const LoadOutcome outcome = LoadDatabase(archive);
  EXPECT_EQ(outcome.status.message(), c.message) << c.fault;
  EXPECT_EQ(outcome.result, c.result) << c.fault;
  EXPECT_EQ(outcome.rows.size(), c.rows) << c.fault;
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.lzw"}) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    ExpandedSizes, LoadSizeTest,
    testing::Values(SizeCase{"empty database refused", 0, 0, "", Result::kLoaded},
                    SizeCase{"one record lost", 241, 1, "", Result::kLoaded},
                    SizeCase{"sizes below one record reported", 1, 0, "", Result::kLoaded},
                    SizeCase{"sizes below one record reported at 240", 240, 0, "", Result::kLoaded},
                    SizeCase{"two whole records refused", 482, 2, "", Result::kLoaded},
                    SizeCase{"a partial record accepted", 483, 0, kEndsInsideRecord,
                             Result::kDamaged},
                    SizeCase{"rows read before noticing the partial record", 963, 0,
                             kEndsInsideRecord, Result::kDamaged}));

TEST_F(LoadDatabaseTest, ThreeRecordsGiveRowsNumberedFromZero) {
  const LoadOutcome outcome = LoadDatabase(WriteArchive(Records(3)));
  ASSERT_EQ(outcome.rows.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const RecordTable& rows = outcome.rows;
    EXPECT_EQ(rows.Int(i, Column::kIndex), i);
    EXPECT_EQ(rows.Int(i, Column::kSS), i);
    EXPECT_EQ(rows.Int(i, Column::kMS), i * 7);
    EXPECT_EQ(rows.Int(i, Column::kLS), i * 1000);
    EXPECT_EQ(rows.Int(i, Column::kX), i * 13);
    EXPECT_EQ(rows.Int(i, Column::kY), i * 17);
    EXPECT_EQ(rows.Int(i, Column::kSc), 0);
    EXPECT_EQ(rows.Int(i, Column::kSpd), 0);
    EXPECT_EQ(rows.Text(i, Column::kSpeed), std::to_string(i * 10));
    EXPECT_EQ(rows.Text(i, Column::kRoad), "road " + std::to_string(i));
    EXPECT_EQ(rows.Text(i, Column::kCity), "");
  }
  // Record 1: LS 1000 (1000 mod 28 = 20, 1000 div 28 = 35), MS 7, SS 1, X 13, Y 17, D 1.
  EXPECT_EQ(outcome.rows.Int(1, Column::kCoordX), ((20 * 16 + 7) * 16 + 1) * 1000 + 13);
  EXPECT_EQ(outcome.rows.Int(1, Column::kCoordY), (35 * 16 * 16) * 1000 + 17);
  EXPECT_EQ(outcome.rows.Int(1, Column::kDir), -179);
}

// Faults caught: records cut by the pieces the blocks come out in, side by side or in turn,
// read wrongly, lost or read twice.
TEST_F(LoadDatabaseTest, SameRowsOnOneThreadAndOnFour) {
  const std::string archive = WriteArchive(Records(3000));
  const LoadOutcome one = LoadDatabase(archive, {}, 1);
  const LoadOutcome four = LoadDatabase(archive, {}, 4);
  ASSERT_EQ(one.rows.size(), 3000u);
  ASSERT_EQ(four.rows.size(), 3000u);
  for (std::size_t row = 0; row < 3000; ++row) {
    for (int c = 0; c < kColumnCount; ++c) {
      const auto column = static_cast<Column>(c);
      if (IsTextColumn(column)) {
        ASSERT_EQ(four.rows.Text(row, column), one.rows.Text(row, column)) << row << " " << c;
      } else {
        ASSERT_EQ(four.rows.Int(row, column), one.rows.Int(row, column)) << row << " " << c;
      }
    }
  }
  EXPECT_EQ(one.rows.Text(2999, Column::kRoad), "road 2999");
}

TEST_F(LoadDatabaseTest, MissingArchiveLeavesEverythingAsItWas) {
  const LoadOutcome outcome = LoadDatabase((dir_ / "missing.lzw").string());
  EXPECT_EQ(outcome.status.message(), "LZW file not found");
  EXPECT_EQ(outcome.result, Result::kFailed);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{});
}

TEST_F(LoadDatabaseTest, FailedExpansionReplacesNothing) {
  std::string archive = CompressLzw(Records(3));
  // The last table entry's expected total, one byte up: the blocks now come out one short.
  archive[archive.size() - 4] = static_cast<char>(archive[archive.size() - 4] + 1);
  const LoadOutcome outcome = LoadDatabase(WriteFile("radar.lzw", archive));
  EXPECT_EQ(outcome.status.message(), "LZW decompress error");
  EXPECT_EQ(outcome.result, Result::kFailed);
  EXPECT_EQ(outcome.rows.size(), 0u);
}

#ifdef __linux__
// The files this process holds open, as the system names them ("/x/y (deleted)" for one that
// has no name any more).
std::vector<std::string> OpenFiles() {
  std::vector<std::string> files;
  for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const fs::path target = fs::read_symlink(fd.path(), error);
    if (!error && target.is_absolute() && target.string().rfind("/dev/", 0) != 0 &&
        target.string().rfind("/proc/", 0) != 0) {
      files.push_back(target.string());
    }
  }
  return files;
}

// Fault caught: a load that writes the expanded database anywhere, named or not.
TEST_F(LoadDatabaseTest, HoldsNoFileButTheArchiveWhileLoading) {
  const std::string archive = WriteArchive(Records(40000));
  const std::vector<std::string> before = OpenFiles();
  std::vector<std::string> during;
  const LoadOutcome outcome = LoadDatabase(archive, [&](std::uint64_t done, std::uint64_t) {
    if (done > 0 && during.empty()) during = OpenFiles();
    return true;
  });
  ASSERT_EQ(outcome.rows.size(), 40000u);
  std::vector<std::string> added;
  for (const std::string& file : during) {
    if (std::find(before.begin(), before.end(), file) == before.end()) added.push_back(file);
  }
  EXPECT_EQ(added, std::vector<std::string>{fs::canonical(archive).string()});
}
#endif

struct ProgressCall {
  std::uint64_t done;
  std::uint64_t total;
  bool operator==(const ProgressCall&) const = default;
};

void PrintTo(const ProgressCall& c, std::ostream* os) { *os << c.done << " of " << c.total; }

// Records are read as the bytes come out: the progress is that of the bytes expanded.
TEST_F(LoadDatabaseTest, ReportsBytesExpanded) {
  constexpr std::uint64_t kCount = 40000;  // 9.6 MB: several hand-overs of the output buffer
  constexpr std::uint64_t kBytes = kCount * kRadarRecordSize;
  std::vector<ProgressCall> calls;
  const LoadOutcome outcome =
      LoadDatabase(WriteArchive(Records(kCount)), [&](std::uint64_t done, std::uint64_t total) {
        calls.push_back({done, total});
        return true;
      });
  ASSERT_EQ(outcome.rows.size(), kCount);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls.back(), (ProgressCall{kBytes, kBytes}));
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_LT(calls[i - 1].done, calls[i].done);
}

struct CancelCase {
  const char* fault;
  ProgressCall cancelAt;  // the call that answers "stop"
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.fault; }

class LoadCancelTest : public LoadDatabaseTest, public testing::WithParamInterface<CancelCase> {};

// Faults caught: a cancelled load that replaces the table, changes Export or shows a message.
TEST_P(LoadCancelTest, KeepsEverythingAsItWasAndLeavesNothing) {
  const CancelCase& c = GetParam();
  const LoadOutcome outcome =
      LoadDatabase(WriteArchive(Records(3)), [&](std::uint64_t done, std::uint64_t total) {
        return !(ProgressCall{done, total} == c.cancelAt);
      });
  EXPECT_TRUE(outcome.status.cancelled()) << c.fault;
  EXPECT_EQ(outcome.status.message(), "") << c.fault;
  EXPECT_EQ(outcome.result, Result::kCancelled) << c.fault;
  EXPECT_EQ(outcome.rows.size(), 0u) << c.fault;
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.lzw"}) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Steps, LoadCancelTest,
                         testing::Values(CancelCase{"cancel ignored after the last block",
                                                    {723, 723}}));

// Faults caught: Cancel not stopping blocks decoded side by side at once, or a cancelled load
// that replaces the table.
TEST_F(LoadDatabaseTest, CancelStopsBlocksDecodedSideBySide) {
  int calls = 0;
  const LoadOutcome outcome = LoadDatabase(
      WriteArchive(Records(40000)), [&](std::uint64_t, std::uint64_t) { return ++calls > 1; }, 4);
  EXPECT_TRUE(outcome.status.cancelled());
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(outcome.result, Result::kCancelled);
  EXPECT_EQ(outcome.rows.size(), 0u);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.lzw"});
}

#ifndef _WIN32
// Fault caught: a load killed halfway leaving anything behind.
TEST_F(LoadDatabaseTest, KilledLoadLeavesNothingBehind) {
  const std::string archive = WriteArchive(Records(3));
  const int status = KillWhenReady(
      [&](const std::function<void()>& ready) {
        LoadDatabase(archive, [&](std::uint64_t, std::uint64_t) {
          ready();
          return true;
        });
      },
      SIGTERM);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.lzw"});
}

// Fault caught: a database on read-only media that cannot be loaded.
TEST_F(LoadDatabaseTest, ArchiveInAReadOnlyFolderLoads) {
  fs::create_directory(dir_ / "media");
  const std::string archive = WriteFile("media/radar.lzw", CompressLzw(Records(3)));
  fs::permissions(dir_, fs::perms::owner_all | fs::perms::others_exec);
  fs::permissions(dir_ / "media", fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const std::string result = RunInChild(
      [&] {
        const LoadOutcome outcome = LoadDatabase(archive);
        return outcome.status.message() + "|" + std::to_string(outcome.rows.size());
      },
      true);
  EXPECT_EQ(result, "|3");
  fs::permissions(dir_ / "media", fs::perms::owner_all);
}
#endif

}  // namespace
