// The whole update against Debian's nginx on a loopback port: the version list, the archive and
// its release signature (made with the test's own key) are fetched over HTTP, installed into a
// temporary program folder whose name holds a blank, and the "new executable" (a shell script
// that records its arguments) is started again.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/scripted_prompts.h"
#include "tests/update/http_scripted_server.h"
#include "tests/update/nginx_server.h"
#include "tests/update/test_release_key.h"
#include "tests/update/update_test_folder.h"
#include "tests/update/update_zip_builder.h"
#include "update/app_identity.h"
#include "update/update_check.h"

using namespace update;

namespace {

constexpr char kProgramFolder[] = "prog dir";
constexpr char kExecutable[] = "prog dir/kestrolan";
constexpr char kRestartRecord[] = "prog dir/restarted.txt";
constexpr char kListPath[] = "software/lastversions.txt";
constexpr char kArchivePath[] = "software/kestrolan update.zip";
constexpr char kSignaturePath[] = "software/kestrolan update.zip.sig";
constexpr char kNewerList[] =
    "Other=v09.00,01/01/2020,other.zip;\r\n"
    "Kestrolan=v01.02,03/10/2013,kestrolan update.zip;\r\n";
constexpr int kRestartWaitMs = 10000;
constexpr int kPollMs = 20;

const std::string kOldExecutable = "#!/bin/sh\nexit 0\n";
// Records its own path and arguments, one a line, then renames the record into place so the
// test never reads half of it.
const std::string kNewExecutable =
    "#!/bin/sh\n"
    "dir=$(dirname \"$0\")\n"
    "printf '%s\\n' \"$0\" \"$@\" > \"$dir/restarted.tmp\"\n"
    "mv \"$dir/restarted.tmp\" \"$dir/restarted.txt\"\n";

const QString kAskCheck = "yesno: Check for program updates ?";
const QString kAskDownload =
    "okcancel: New version present. Would you download the new file:Kestrolan  Version:v01.02  "
    "Date:03/10/2013 ?";
const QString kArchiveFailed = "info: Download of 127.0.0.1/software/kestrolan update.zip failed";

// What the server publishes as the archive's signature.
using Signer = QByteArray (*)(const QByteArray& archive, const TestReleaseKey& key);

QByteArray Signed(const QByteArray& archive, const TestReleaseKey& key) {
  return key.Sign(archive);
}

struct UpdateCase {
  const char* fault;
  std::vector<TestFile> before;  // besides the old executable, paths relative to the test folder
  const char* list;              // nullptr: the server has no version list
  QByteArray (*archive)();       // nullptr: the server has no archive
  std::vector<bool> answers;
  bool result;
  QStringList shown;
  std::map<std::string, std::string> after;  // every file afterwards, the restart record aside
  bool restarted;
  Signer signature = Signed;  // nullptr: the server has no signature
  unsigned executableMode = 0755;
};

// gtest names a failing case by the fault it catches.
void PrintTo(const UpdateCase& c, std::ostream* os) { *os << c.fault; }

class UpdateProgramTest : public testing::TestWithParam<UpdateCase> {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<NginxServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  static std::unique_ptr<NginxServer> server_;
  const TestReleaseKey key_;
};
std::unique_ptr<NginxServer> UpdateProgramTest::server_;

// Waits, bounded, for the restarted script's record; empty when none came.
std::string WaitForRestart(const QString& path) {
  for (int waited = 0; waited < kRestartWaitMs; waited += kPollMs) {
    QFile record(path);
    if (record.open(QIODevice::ReadOnly)) return record.readAll().toStdString();
    QThread::msleep(kPollMs);
  }
  return {};
}

TEST_P(UpdateProgramTest, FetchesInstallsAndRestarts) {
  const UpdateCase& c = GetParam();
  ASSERT_TRUE(server_->running()) << server_->error().toStdString();
  for (const char* path : {kListPath, kArchivePath, kSignaturePath}) server_->Remove(path);
  if (c.list != nullptr) {
    ASSERT_TRUE(server_->Put(kListPath, c.list));
  }
  if (c.archive != nullptr) {
    const QByteArray archive = c.archive();
    ASSERT_TRUE(server_->Put(kArchivePath, archive));
    if (c.signature != nullptr) {
      ASSERT_TRUE(server_->Put(kSignaturePath, c.signature(archive, key_)));
    }
  }

  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  std::vector<TestFile> before = c.before;
  before.push_back({kExecutable, kOldExecutable, c.executableMode});
  ASSERT_TRUE(PlaceFiles(temp.path(), before));
  ScriptedPrompts prompts;
  for (bool answer : c.answers) prompts.SetNextAnswer(answer);
  const QString executable = temp.filePath(kExecutable);
  const UpdateEnvironment env{.prompts = prompts,
                              .host = "127.0.0.1",
                              .port = server_->port(),
                              .executablePath = executable,
                              .releaseKey = key_.publicKey()};

  EXPECT_EQ(OfferUpdate(env, AppName, AppVersion), c.result) << c.fault;
  EXPECT_EQ(prompts.shown, c.shown) << c.fault;
  EXPECT_EQ(prompts.unexpected, 0) << c.fault;
  if (c.restarted) {
    EXPECT_EQ(WaitForRestart(temp.filePath(kRestartRecord)),
              executable.toStdString() + "\n-nocheck\n")
        << c.fault;
    QFile::remove(temp.filePath(kRestartRecord));
  }
  EXPECT_EQ(FilesUnder(temp.path()), c.after) << c.fault;
  if (c.after.count(kExecutable) != 0) {
    EXPECT_EQ(ModeOf(temp.filePath(kExecutable)), c.executableMode) << c.fault;
  }
}

QByteArray Update() {
  // The new executable is stored without execute permission: it keeps that of the old one.
  return BuildZip(
      {{"kestrolan", kNewExecutable, 0644}, {"data.txt", "new data"}, {"readme.txt", "readme"}});
}

QByteArray IntoMissingFolder() {
  return BuildZip({{"kestrolan", kNewExecutable, 0644}, {"missing/x.txt", "x"}});
}

QByteArray CorruptData() {
  return FlipContentByte(BuildZip({{"kestrolan", kNewExecutable, 0644},
                                   {"data.txt", "new data, damaged"},
                                   {"readme.txt", "readme"}},
                                  true),
                         "new data, damaged");
}

QByteArray Escaping() {
  return BuildZip({{"kestrolan", kNewExecutable, 0644}, {"../outside.txt", "evil"}});
}

QByteArray NotZip() { return "this is not a ZIP archive"; }

const std::map<std::string, std::string> kUntouched = {{kExecutable, kOldExecutable},
                                                       {"prog dir/data.txt", "old data"}};
const TestFile kOldData{"prog dir/data.txt", "old data"};
// A complete update over kOldData: every file new, the replaced ones kept as backups.
const std::map<std::string, std::string> kInstalledOverOld = {
    {kExecutable, kNewExecutable},
    {"prog dir/kestrolan.OLD", kOldExecutable},
    {"prog dir/data.txt", "new data"},
    {"prog dir/data.txt.OLD", "old data"},
    {"prog dir/readme.txt", "readme"}};

// The archive served and `signature` published for it are refused for `reason`: nothing is
// installed, moved or restarted.
UpdateCase Refused(const char* fault, Signer signature, const QString& reason) {
  return {fault,
          {kOldData},
          kNewerList,
          Update,
          {true, true},
          false,
          {kAskCheck, kAskDownload, kArchiveFailed, "details: " + reason},
          kUntouched,
          false,
          signature};
}

const QString kNotFetched = "the release signature could not be fetched";
const QString kMalformed = "the release signature is malformed";
const QString kNoMatch = "the release signature does not match";

QByteArray WithBitFlipped(QByteArray bytes, qsizetype at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Signature, UpdateProgramTest,
    testing::Values(Refused(
                        "an archive changed after signing installed",
                        [](const QByteArray& archive, const TestReleaseKey& key) {
                          return key.Sign(WithBitFlipped(archive, archive.size() / 2));
                        },
                        kNoMatch),
                    Refused(
                        "a signature with one bit flipped accepted",
                        [](const QByteArray& archive, const TestReleaseKey& key) {
                          return WithBitFlipped(key.Sign(archive), 10);
                        },
                        kNoMatch),
                    Refused(
                        "a signature of another key accepted",
                        [](const QByteArray& archive, const TestReleaseKey&) {
                          return TestReleaseKey().Sign(archive);
                        },
                        kNoMatch),
                    Refused(
                        "an empty signature accepted",
                        [](const QByteArray&, const TestReleaseKey&) { return QByteArray(); },
                        kNotFetched),
                    Refused(
                        "a signature one byte short accepted",
                        [](const QByteArray& archive, const TestReleaseKey& key) {
                          return key.Sign(archive).left(kReleaseSignatureBytes - 1);
                        },
                        kMalformed),
                    Refused(
                        "a valid signature with a byte after it accepted",
                        [](const QByteArray& archive, const TestReleaseKey& key) {
                          return key.Sign(archive) + 'x';
                        },
                        kMalformed),
                    Refused("an archive without a signature installed", nullptr, kNotFetched)));

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateProgramTest,
    testing::Values(
        UpdateCase{"an update not installed, not backed up or not restarted with -nocheck",
                   {kOldData},
                   kNewerList,
                   Update,
                   {true, true},
                   true,
                   {kAskCheck, kAskDownload},
                   kInstalledOverOld,
                   true},
        UpdateCase{"the backup of an earlier update kept instead of the current file",
                   {kOldData,
                    {"prog dir/kestrolan.OLD", "older executable"},
                    {"prog dir/data.txt.OLD", "older data"}},
                   kNewerList,
                   Update,
                   {true, true},
                   true,
                   {kAskCheck, kAskDownload},
                   kInstalledOverOld,
                   true},
        UpdateCase{"a new program that cannot be started taken as restarted",
                   {kOldData},
                   kNewerList,
                   Update,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload},
                   kInstalledOverOld,
                   false,
                   Signed,
                   0644},
        UpdateCase{"an entry in a missing sub-folder taken as installed",
                   {},
                   kNewerList,
                   IntoMissingFolder,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload, "info: Error creating file : missing/x.txt"},
                   {{kExecutable, kNewExecutable}, {"prog dir/kestrolan.OLD", kOldExecutable}},
                   false},
        UpdateCase{"a damaged entry installed, left half-written, or followed by more entries",
                   {kOldData},
                   kNewerList,
                   CorruptData,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload, "info: Error creating file : data.txt"},
                   {{kExecutable, kNewExecutable},
                    {"prog dir/kestrolan.OLD", kOldExecutable},
                    {"prog dir/data.txt", "old data"}},
                   false},
        UpdateCase{"an entry written outside the program folder",
                   {},
                   kNewerList,
                   Escaping,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload, "info: Error creating file : ../outside.txt"},
                   {{kExecutable, kNewExecutable}, {"prog dir/kestrolan.OLD", kOldExecutable}},
                   false},
        UpdateCase{"a body that is not a ZIP archive taken as an installed update",
                   {kOldData},
                   kNewerList,
                   NotZip,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload, kArchiveFailed},
                   kUntouched,
                   false},
        UpdateCase{"a missing archive not reported",
                   {kOldData},
                   kNewerList,
                   nullptr,
                   {true, true},
                   false,
                   {kAskCheck, kAskDownload, kArchiveFailed},
                   kUntouched,
                   false},
        UpdateCase{"a missing version list not reported",
                   {kOldData},
                   nullptr,
                   Update,
                   {true},
                   false,
                   {kAskCheck, "info: Download of 127.0.0.1/software/lastversions.txt failed"},
                   kUntouched,
                   false},
        UpdateCase{"the update run although the user said No",
                   {kOldData},
                   kNewerList,
                   Update,
                   {false},
                   false,
                   {kAskCheck},
                   kUntouched,
                   false},
        UpdateCase{"the archive fetched although the user chose Cancel",
                   {kOldData},
                   kNewerList,
                   Update,
                   {true, false},
                   false,
                   {kAskCheck, kAskDownload},
                   kUntouched,
                   false},
        UpdateCase{"an equal version installed",
                   {kOldData},
                   "Kestrolan=v01.01,02/09/2012,kestrolan update.zip;",
                   Update,
                   {true},
                   false,
                   {kAskCheck, "info: Your program is up to date"},
                   kUntouched,
                   false}));

std::string OkResponse(const QByteArray& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         body.toStdString();
}

// A valid signature sent a byte every 100 ms would arrive whole after 6.4 s; under the
// archive's low-rate window it is given up on after the first window instead.
TEST(UpdateSignatureTransfer, SlowSignatureGivenUpOnUnderTheArchivesLimits) {
  const TestReleaseKey key;
  const QByteArray archive = Update();
  const QByteArray signature = key.Sign(archive);
  std::vector<ServerStep> slow = {
      Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(signature.size()) + "\r\n\r\n")};
  for (const char byte : signature) {
    slow.push_back(Pause(100));
    slow.push_back(Send(std::string(1, byte)));
  }
  ScriptedServer server(std::vector<std::vector<ServerStep>>{
      {Send(OkResponse(kNewerList))}, {Send(OkResponse(archive))}, slow});
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  ASSERT_TRUE(PlaceFiles(temp.path(), {kOldData, {kExecutable, kOldExecutable, 0755}}));
  ScriptedPrompts prompts;
  prompts.SetNextAnswer(true);
  prompts.SetNextAnswer(true);
  const UpdateEnvironment env{.prompts = prompts,
                              .host = "127.0.0.1",
                              .port = server.port(),
                              .executablePath = temp.filePath(kExecutable),
                              .releaseKey = key.publicKey(),
                              .windowMs = 1000};

  EXPECT_EQ(OfferUpdate(env, AppName, AppVersion), false);
  EXPECT_EQ(server.Request(),
            "GET /software/kestrolan%20update.zip.sig HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(prompts.shown,
            QStringList({kAskCheck, kAskDownload, kArchiveFailed, "details: " + kNotFetched}));
  EXPECT_EQ(FilesUnder(temp.path()), kUntouched);
}

}  // namespace
