// kestrolan-db check-update against Debian's nginx on a loopback port.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>

#include "tests/update/nginx_server.h"

namespace {

constexpr char kListPath[] = "software/lastversions.txt";
constexpr int kToolWaitMs = 30000;

struct ToolCase {
  const char* fault;
  const char* list;  // nullptr: the server has no version list
  QStringList args;  // after "check-update"; "PORT" stands for the server's port
  int exitCode;
  std::string out;
  std::string err;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.fault; }

class CheckUpdateToolTest : public testing::TestWithParam<ToolCase> {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<NginxServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  static std::unique_ptr<NginxServer> server_;
};
std::unique_ptr<NginxServer> CheckUpdateToolTest::server_;

TEST_P(CheckUpdateToolTest, PrintsTheDecision) {
  const ToolCase& c = GetParam();
  ASSERT_TRUE(server_->running()) << server_->error().toStdString();
  server_->Remove(kListPath);
  if (c.list != nullptr) {
    ASSERT_TRUE(server_->Put(kListPath, c.list));
  }
  QStringList args = {"check-update"};
  for (const QString& arg : c.args) {
    args << (arg == "PORT" ? QString::number(server_->port()) : arg);
  }

  QProcess tool;
  tool.start(KESTROLAN_DB_PATH, args);
  ASSERT_TRUE(tool.waitForFinished(kToolWaitMs)) << c.fault;
  EXPECT_EQ(tool.exitCode(), c.exitCode) << c.fault;
  EXPECT_EQ(tool.readAllStandardOutput().toStdString(), c.out) << c.fault;
  EXPECT_EQ(tool.readAllStandardError().toStdString(), c.err) << c.fault;
}

const QStringList kLocal = {"--host", "127.0.0.1", "--port", "PORT"};
const std::string kLongDateList = "Kestrolan=v01.02," + std::string(300, 'd') + ",k.zip;";
const char* const kLongDate = kLongDateList.c_str();

INSTANTIATE_TEST_SUITE_P(
    Table, CheckUpdateToolTest,
    testing::Values(
        ToolCase{"a newer version not shown with its date and archive",
                 "Kestrolan=v01.02,03/10/2013,kestrolan update.zip;\r\n", kLocal, 0,
                 "New version present: Kestrolan v01.02, dated 03/10/2013, archive kestrolan "
                 "update.zip\n",
                 ""},
        ToolCase{"server text reaching the terminal with its escape sequences",
                 "Kestrolan=v01.02\x1b[2J,03/10\x07/2013,evil\x1b]2:owned\x07.zip;", kLocal, 0,
                 "New version present: Kestrolan v01.02\\x1B[2J, dated 03/10\\x07/2013, archive "
                 "evil\\x1B]2:owned\\x07.zip\n",
                 ""},
        ToolCase{"a flood of server text printed whole", kLongDate, kLocal, 0,
                 "New version present: Kestrolan v01.02, dated " + std::string(200, 'd') +
                     "..., archive k.zip\n",
                 ""},
        ToolCase{"an equal version offered", "Kestrolan=v01.01,02/09/2012,k.zip;", kLocal, 0,
                 "Your program is up to date\n", ""},
        ToolCase{"another program's entry taken", "Other=v09.00,01/01/2020,o.zip;", kLocal, 0,
                 "No update found\n", ""},
        ToolCase{"a failed download not reported as a failure", nullptr, kLocal, 1, "",
                 "Download of 127.0.0.1/software/lastversions.txt failed\n"}));

}  // namespace
