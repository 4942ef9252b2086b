// kestrolan-db check-update against Debian's nginx on a loopback port, with the archive signed
// by the test's own key.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>

#include "tests/update/nginx_server.h"
#include "tests/update/test_release_key.h"

namespace {

constexpr char kListPath[] = "software/lastversions.txt";
constexpr char kArchivePath[] = "software/kestrolan update.zip";
constexpr char kSignaturePath[] = "software/kestrolan update.zip.sig";
constexpr int kToolWaitMs = 30000;

// What the server publishes besides the list as "kestrolan update.zip".
enum class Published { kNoArchive, kArchiveOnly, kSignedArchive };

struct ToolCase {
  const char* fault;
  const char* list;  // nullptr: the server has no version list
  QStringList args;  // after "check-update"; "PORT" and "KEY" stand for the server's port and
                     // the test's public key
  int exitCode;
  std::string out;
  std::string err;
  Published published = Published::kNoArchive;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.fault; }

class CheckUpdateToolTest : public testing::TestWithParam<ToolCase> {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<NginxServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  static std::unique_ptr<NginxServer> server_;
  const TestReleaseKey key_;
};
std::unique_ptr<NginxServer> CheckUpdateToolTest::server_;

TEST_P(CheckUpdateToolTest, PrintsTheDecision) {
  const ToolCase& c = GetParam();
  ASSERT_TRUE(server_->running()) << server_->error().toStdString();
  for (const char* path : {kListPath, kArchivePath, kSignaturePath}) server_->Remove(path);
  if (c.list != nullptr) {
    ASSERT_TRUE(server_->Put(kListPath, c.list));
  }
  const QByteArray archive = "the archive's bytes";
  if (c.published != Published::kNoArchive) {
    ASSERT_TRUE(server_->Put(kArchivePath, archive));
  }
  if (c.published == Published::kSignedArchive) {
    ASSERT_TRUE(server_->Put(kSignaturePath, key_.Sign(archive)));
  }
  QStringList args = {"check-update"};
  for (const QString& arg : c.args) {
    args << (arg == "PORT" ? QString::number(server_->port()) : arg == "KEY" ? key_.Hex() : arg);
  }

  QProcess tool;
  tool.start(KESTROLAN_DB_PATH, args);
  ASSERT_TRUE(tool.waitForFinished(kToolWaitMs)) << c.fault;
  EXPECT_EQ(tool.exitCode(), c.exitCode) << c.fault;
  EXPECT_EQ(tool.readAllStandardOutput().toStdString(), c.out) << c.fault;
  EXPECT_EQ(tool.readAllStandardError().toStdString(), c.err) << c.fault;
}

const QStringList kLocal = {"--host", "127.0.0.1", "--port", "PORT"};
const QStringList kLocalWithKey = kLocal + QStringList{"--key", "KEY"};
const std::string kLongDateList = "Kestrolan=v01.02," + std::string(300, 'd') + ",k.zip;";
const char* const kLongDate = kLongDateList.c_str();
constexpr char kNewerList[] = "Kestrolan=v01.02,03/10/2013,kestrolan update.zip;\r\n";
constexpr char kNewerShown[] =
    "New version present: Kestrolan v01.02, dated 03/10/2013, archive kestrolan update.zip\n";

INSTANTIATE_TEST_SUITE_P(
    Table, CheckUpdateToolTest,
    testing::Values(
        ToolCase{"a newer version or its verified signature not shown", kNewerList, kLocalWithKey,
                 0, std::string(kNewerShown) + "The release signature verifies\n", "",
                 Published::kSignedArchive},
        ToolCase{"a signature checked against a key other than the built-in one", kNewerList,
                 kLocal, 1,
                 std::string(kNewerShown) +
                     "The archive would be refused: the release signature does not match\n",
                 "", Published::kSignedArchive},
        ToolCase{"an archive without a signature reported as verifying", kNewerList, kLocalWithKey,
                 1,
                 std::string(kNewerShown) +
                     "The archive would be refused: the release signature could not be fetched\n",
                 "", Published::kArchiveOnly},
        ToolCase{"a missing archive not reported", kNewerList, kLocalWithKey, 1, kNewerShown,
                 "Download of 127.0.0.1/software/kestrolan update.zip failed\n"},
        ToolCase{"server text reaching the terminal with its escape sequences",
                 "Kestrolan=v01.02\x1b[2J,03/10\x07/2013,evil\x1b]2:owned\x07.zip;", kLocal, 1,
                 "New version present: Kestrolan v01.02\\x1B[2J, dated 03/10\\x07/2013, archive "
                 "evil\\x1B]2:owned\\x07.zip\n",
                 "Download of 127.0.0.1/software/evil\\x1B]2:owned\\x07.zip failed\n"},
        ToolCase{"a flood of server text printed whole", kLongDate, kLocal, 1,
                 "New version present: Kestrolan v01.02, dated " + std::string(200, 'd') +
                     "..., archive k.zip\n",
                 "Download of 127.0.0.1/software/k.zip failed\n"},
        ToolCase{"an equal version offered", "Kestrolan=v01.01,02/09/2012,k.zip;", kLocal, 0,
                 "Your program is up to date\n", ""},
        ToolCase{"another program's entry taken", "Other=v09.00,01/01/2020,o.zip;", kLocal, 0,
                 "No update found\n", ""},
        ToolCase{"a failed download not reported as a failure", nullptr, kLocal, 1, "",
                 "Download of 127.0.0.1/software/lastversions.txt failed\n"}));

}  // namespace
