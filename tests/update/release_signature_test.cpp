// The release key as the build and the tool take it, and scripts/sign-release: what it writes
// verifies with the update check's own verification, under a key pair made for the test.
#include "update/release_signature.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>
#include <ostream>
#include <string>

using namespace update;

namespace {

constexpr int kToolWaitMs = 30000;
// The DER form of an Ed25519 public key ends with the raw 32-byte key.
constexpr qsizetype kRawKeyBytes = 32;

struct KeyCase {
  const char* fault;
  std::string hex;
  bool valid;
};

TEST(ParseReleaseKey, SixtyFourHexDigitsInEitherCase) {
  const std::string digits = "000102030405060708090a0b0c0d0e0f101112131415161718191A1B1C1D1E1F";
  const std::vector<KeyCase> cases = {
      {"misreads the digits", digits, true},
      {"accepts a digit short", digits.substr(1), false},
      {"accepts a digit more", digits + "0", false},
      {"accepts a letter beyond f", "g" + digits.substr(1), false},
      {"accepts an empty key", "", false},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.fault);
    const std::optional<ReleaseKey> key = ParseReleaseKey(c.hex);
    ASSERT_EQ(key.has_value(), c.valid);
    for (std::size_t i = 0; key && i < key->size(); ++i) EXPECT_EQ((*key)[i], i);
  }
}

// Runs `program` with `arguments`; its exit code, or -1 when it did not run to its end.
int RunTool(const QString& program, const QStringList& arguments, QByteArray* out = nullptr) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(kToolWaitMs) || process.exitStatus() != QProcess::NormalExit) {
    return -1;
  }
  if (out != nullptr) *out = process.readAllStandardOutput();
  return process.exitCode();
}

struct SignCase {
  const char* fault;
  QString archiveName;
  QByteArray archive;
};

void PrintTo(const SignCase& c, std::ostream* os) { *os << c.fault; }

class SignReleaseTest : public testing::TestWithParam<SignCase> {};

TEST_P(SignReleaseTest, WritesASignatureTheUpdateCheckAccepts) {
  const SignCase& c = GetParam();
  if (QStandardPaths::findExecutable("openssl").isEmpty()) GTEST_SKIP() << "no openssl";
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString keyFile = temp.filePath("release.pem");
  ASSERT_EQ(RunTool("openssl", {"genpkey", "-algorithm", "ed25519", "-out", keyFile}), 0);
  QByteArray publicDer;
  ASSERT_EQ(RunTool("openssl", {"pkey", "-in", keyFile, "-pubout", "-outform", "DER"}, &publicDer),
            0);
  const std::optional<ReleaseKey> key =
      ParseReleaseKey(publicDer.right(kRawKeyBytes).toHex().toStdString());
  ASSERT_TRUE(key.has_value());
  const QString archivePath = temp.filePath(c.archiveName);
  QFile archive(archivePath);
  ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
  ASSERT_EQ(archive.write(c.archive), c.archive.size());
  archive.close();

  EXPECT_EQ(RunTool(KESTROLAN_SIGN_RELEASE, {archivePath, keyFile}), 0) << c.fault;
  QFile signatureFile(archivePath + ".sig");
  ASSERT_TRUE(signatureFile.open(QIODevice::ReadOnly)) << c.fault;
  const QByteArray signature = signatureFile.readAll();
  EXPECT_EQ(signature.size(), kReleaseSignatureBytes) << c.fault;
  EXPECT_TRUE(VerifyReleaseSignature(c.archive, signature, *key)) << c.fault;
  QByteArray changed = c.archive;
  changed.back() = static_cast<char>(changed.back() ^ 0x01);
  EXPECT_FALSE(VerifyReleaseSignature(changed, signature, *key)) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Table, SignReleaseTest,
                         testing::Values(SignCase{"a name with a blank cut at the blank",
                                                  "kestrolan 1.2.zip",
                                                  "PK\x05\x06 an archive's bytes"},
                                         SignCase{"bytes after a NUL left unsigned", "k.zip",
                                                  QByteArray("PK\0\0 after the NUL", 18)}));

}  // namespace
