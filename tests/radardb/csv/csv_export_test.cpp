#include "radardb/csv/csv_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

using namespace radardb;

namespace {

namespace fs = std::filesystem;

constexpr char kHeader[] = "CoordX,CoordY,SS,MS,LS,X,Y,subcat,mph,speed,dir,Speed,Road,City\r\n";

RecordTable::Ints Ints(std::int32_t index, std::int32_t dir) {
  return {index, 1090234, 561678, 18, 52, 60, 1234, 5678, 3, 1, 50, dir};
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Csv(const RecordTable& rows, const RowOrder* order = nullptr, unsigned threads = 0) {
  FilePtr file(std::tmpfile());
  EXPECT_TRUE(WriteCsv(rows, order, file.get(), threads));
  std::string bytes(static_cast<std::size_t>(std::ftell(file.get())), '\0');
  std::rewind(file.get());
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file.get()), bytes.size());
  return bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct LineCase {
  const char* fault;
  std::int32_t dir;
  std::string speed, road, city;
  std::string line;
};

// Test names show the fault a case would catch.
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.fault; }

class CsvLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(CsvLineTest, WritesHeaderAndRecordLineBytes) {
  const LineCase& c = GetParam();
  RecordTable rows;
  rows.Append(Ints(7, c.dir), c.speed, c.road, c.city);
  EXPECT_EQ(Csv(rows), kHeader + c.line + "\r\n") << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    AwkwardValues, CsvLineTest,
    testing::Values(
        LineCase{"plain texts quoted or index exported", 0, "50", "A7", "Lyon",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,0,50,A7,Lyon"},
        LineCase{"minus sign lost", -179, "", "", "",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,-179,,,"},
        LineCase{"360 clipped", 360, "x", "y", "z",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,360,x,y,z"},
        LineCase{"a comma splitting a field", 1, "50", "A7, exit 3", "a,b",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,1,50,\"A7, exit 3\",\"a,b\""},
        LineCase{"inner quote not doubled", 1, "\"fast\"", "Rue \"X\"", "q\"",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,1,\"\"\"fast\"\"\",\"Rue "
                 "\"\"X\"\"\",\"q\"\"\""},
        LineCase{"CR or LF left bare", 1, "a\rb", "c\nd", "\r\n",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,1,\"a\rb\",\"c\nd\",\"\r\n\""},
        LineCase{"high bytes converted or quoted", 1, "\xB5", "\xC3\xA9tang", "\xFF\x80",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,1,\xB5,\xC3\xA9tang,\xFF\x80"},
        LineCase{"spaces or semicolons quoted", 1, " 50 ", "a;b", "'x'",
                 "1090234,561678,18,52,60,1234,5678,3,1,50,1, 50 ,a;b,'x'"}));

TEST(CsvExportTest, EmptyTableGivesHeaderOnly) { EXPECT_EQ(Csv(RecordTable{}), kHeader); }

struct OrderCase {
  const char* fault;
  std::optional<RowOrder> order;  // nullopt: every row in table order
  std::string dirs;               // the rows written, by their dir
};

// Test names show the fault a case would catch.
void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.fault; }

class CsvOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(CsvOrderTest, WritesTheListedRowsInOrder) {
  const OrderCase& c = GetParam();
  RecordTable rows;
  rows.Append(Ints(0, 10), "a", "", "");
  rows.Append(Ints(1, 20), "b", "", "");
  rows.Append(Ints(2, 30), "c", "", "");
  std::string expected = kHeader;
  for (const char dir : c.dirs) {
    expected += "1090234,561678,18,52,60,1234,5678,3,1,50," + std::string{dir} + "0," +
                static_cast<char>('a' + (dir - '1')) + ",,\r\n";
  }
  EXPECT_EQ(Csv(rows, c.order ? &*c.order : nullptr), expected) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, CsvOrderTest,
    testing::Values(OrderCase{"order ignored", RowOrder{2, 0, 1}, "312"},
                    OrderCase{"rows left out of the list written", RowOrder{1}, "2"},
                    OrderCase{"empty list (nothing shown) taken for every row", RowOrder{}, ""},
                    OrderCase{"no list not taken for every row", std::nullopt, "123"}));

// Enough rows for several pieces formatted side by side, each row different.
RecordTable ManyRows() {
  RecordTable rows;
  for (int i = 0; i < 30000; ++i) {
    rows.Append(Ints(i, i % 470 - 180), std::to_string(i % 130), "Road " + std::to_string(i),
                i % 7 == 0 ? "Say \"hi\", Lyon" : "Lyon");
  }
  return rows;
}

// Faults caught: pieces formatted side by side written out of order, twice or not at all.
TEST(CsvExportTest, SameBytesOnOneThreadAndOnFour) {
  const RecordTable rows = ManyRows();
  RowOrder backwards;
  for (std::uint32_t i = 30000; i-- > 0;) backwards.push_back(i);
  const std::string all = Csv(rows, nullptr, 1);
  EXPECT_EQ(all, Csv(rows, nullptr, 4));
  EXPECT_EQ(Csv(rows, &backwards, 1), Csv(rows, &backwards, 4));
  EXPECT_NE(all, Csv(rows, &backwards, 4));
}

#ifndef _WIN32
TEST(CsvExportTest, WriteErrorIsReported) {
  RecordTable one;
  one.Append(Ints(0, 0), "50", "A7", "Lyon");
  const RecordTable many = ManyRows();
  for (const RecordTable* rows : {static_cast<const RecordTable*>(&one), &many}) {
    for (const unsigned threads : {1u, 4u}) {
      FilePtr full(std::fopen("/dev/full", "wb"));
      ASSERT_NE(full, nullptr);
      EXPECT_FALSE(WriteCsv(*rows, {}, full.get(), threads)) << rows->size() << " " << threads;
    }
  }
}
#endif

class CsvExportFileTest : public testing::Test {
 protected:
  std::vector<std::string> FolderEntries() const { return scratch_.Entries(); }

  ScratchFolder scratch_;
  const fs::path& dir_ = scratch_.path();
};

TEST_F(CsvExportFileTest, ReplacesAnExistingFileWhole) {
  const fs::path target = dir_ / "radar.csv";
  std::ofstream(target) << std::string(100000, 'x');
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::group_write | fs::perms::others_read;
  fs::permissions(target, shared);
  RecordTable rows;
  rows.Append(Ints(0, 0), "50", "A7", "Lyon");
  EXPECT_EQ(ExportCsvFile(rows, {}, target.string()).message(), "");
  EXPECT_EQ(ReadFile(target), Csv(rows));
#ifndef _WIN32  // Windows keeps only a read-only flag
  EXPECT_EQ(fs::status(target).permissions(), shared);
#endif
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.csv"});
}

TEST_F(CsvExportFileTest, CreatesANewFile) {
  const fs::path target = dir_ / "new export.csv";
  RecordTable rows;
  rows.Append(Ints(0, 360), "", "", "");
  EXPECT_EQ(ExportCsvFile(rows, {}, target.string()).message(), "");
  EXPECT_EQ(ReadFile(target), Csv(rows));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"new export.csv"});
}

TEST_F(CsvExportFileTest, MissingFolderGivesCreateError) {
  const std::string target = (dir_ / "no such folder" / "radar.csv").string();
  EXPECT_EQ(ExportCsvFile(RecordTable{}, {}, target).message(), "Error creating file " + target);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{});
}

TEST_F(CsvExportFileTest, TargetThatIsAFolderGivesCreateError) {
  const fs::path target = dir_ / "taken.csv";
  fs::create_directory(target);
  EXPECT_EQ(ExportCsvFile(RecordTable{}, {}, target.string()).message(),
            "Error creating file " + target.string());
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"taken.csv"});
}

#ifndef _WIN32
// Caps the size of files this process writes; writes beyond it fail instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

TEST_F(CsvExportFileTest, FailedWriteLeavesExistingFileIntact) {
  const fs::path target = dir_ / "radar.csv";
  const std::string original = "CoordX\r\nprevious export\r\n";
  std::ofstream(target, std::ios::binary) << original;
  RecordTable rows;
  for (int i = 0; i < 100000; ++i) rows.Append(Ints(i, i % 400 - 180), "50", "Road", "City");
  std::string message;
  {
    const FileSizeLimit limit(64 * 1024);
    message = ExportCsvFile(rows, {}, target.string()).message();
  }
  EXPECT_EQ(message, "Error writing file " + target.string());
  EXPECT_EQ(ReadFile(target), original);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"radar.csv"});
}
#endif

}  // namespace
