// What HttpGet sends, where it connects, and what its progress display is told.
#include <gtest/gtest.h>

#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

#include "tests/update/http_scripted_server.h"
#include "update/http_get.h"

using namespace update;

namespace {

const std::string kHello = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";
constexpr int kSplitMs = 40;

// Records every call but Cancelled() as a line of text; never reports cancellation.
class RecordingProgress : public TransferProgress {
 public:
  void Open(const QString& text, int widthPx) override {
    events << QString("open %1 | %2").arg(text).arg(widthPx);
  }
  void SetTotal(qint64 total) override { events << QString("total %1").arg(total); }
  void SetPos(qint64 pos) override { events << QString("pos %1").arg(pos); }
  bool Cancelled() override { return false; }
  void Close() override { events << "close"; }

  QStringList events;
};

struct RequestCase {
  const char* name;
  const char* fault;
  std::string url;  // connected on the injected port of the scripted server
  std::string request;
};

std::vector<RequestCase> RequestCases() {
  return {
      {"BareHost", "adds a scheme or a header", "127.0.0.1/software/lastversions.txt",
       "GET /software/lastversions.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
      {"Scheme", "keeps the scheme in the host", "http://127.0.0.1/software/lastversions.txt",
       "GET /software/lastversions.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
      {"SchemeInCapitals", "recognises the scheme in small letters only",
       "HTTP://127.0.0.1/software/lastversions.txt",
       "GET /software/lastversions.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
      {"HostName", "does not look the host up by name", "localhost/software/x.zip",
       "GET /software/x.zip HTTP/1.1\r\nHost: localhost\r\n\r\n"},
      {"HostNameKeepsItsCase", "changes the host's letter case with the scheme's",
       "hTtP://LocalHost/A/B", "GET /A/B HTTP/1.1\r\nHost: LocalHost\r\n\r\n"},
      {"BlankAndTab", "sends blanks or tabs unescaped", "127.0.0.1/software/new version\t2.zip",
       "GET /software/new%20version%092.zip HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
      {"OtherBytesUnchanged", "escapes or decodes more than blanks and tabs",
       "127.0.0.1/a%41?b=c#d/\xC3\xA9",
       "GET /a%41?b=c#d/\xC3\xA9 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
      {"NoPath", "invents a path", "127.0.0.1", "GET  HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"},
  };
}

void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class HttpGetRequest : public testing::TestWithParam<RequestCase> {};

TEST_P(HttpGetRequest, SendsExactlyOneGetWithOneHostLine) {
  const RequestCase& c = GetParam();
  SCOPED_TRACE(c.fault);
  ScriptedServer server({Send(kHello)});
  HttpGetOptions options;
  options.port = server.port();
  EXPECT_EQ(HttpGet(QByteArray::fromStdString(c.url), options), QByteArray("hello"));
  EXPECT_EQ(server.Request(), c.request);
}

INSTANTIATE_TEST_SUITE_P(Urls, HttpGetRequest, testing::ValuesIn(RequestCases()),
                         [](const testing::TestParamInfo<RequestCase>& info) {
                           return std::string(info.param.name);
                         });

struct UnreachableCase {
  const char* name;
  const char* fault;
  std::string urlBeforePort;  // the listening server's port follows, where it names one
  bool appendPort;
};

void PrintTo(const UnreachableCase& c, std::ostream* os) { *os << c.name; }

class HttpGetUnreachable : public testing::TestWithParam<UnreachableCase> {};

// The server listens on the injected port; each URL must still fail without reaching it.
TEST_P(HttpGetUnreachable, FailsWithoutOpeningTheProgress) {
  const UnreachableCase& c = GetParam();
  SCOPED_TRACE(c.fault);
  ScriptedServer server({Send(kHello)});
  RecordingProgress progress;
  HttpGetOptions options;
  options.port = server.port();
  options.progress = &progress;
  const std::string url =
      c.urlBeforePort + (c.appendPort ? std::to_string(server.port()) + "/x" : "");
  EXPECT_EQ(HttpGet(QByteArray::fromStdString(url), options), QByteArray());
  EXPECT_EQ(progress.events, QStringList());
  EXPECT_EQ(server.Request(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Urls, HttpGetUnreachable,
    testing::ValuesIn(std::vector<UnreachableCase>{
        {"PortSuffix", "takes a port from the URL", "localhost:", true},
        {"SecureScheme", "treats https like http", "https://127.0.0.1/x", false},
        {"UnknownHost", "reports success for a name that does not resolve",
         "no-such-host.invalid/x", false},
        {"EmptyHost", "connects somewhere for an empty host", "/software/x.zip", false},
    }),
    [](const testing::TestParamInfo<UnreachableCase>& info) {
      return std::string(info.param.name);
    });

TEST(HttpGetConnect, RefusedConnectionFailsWithoutProgress) {
  RecordingProgress progress;
  HttpGetOptions options;
  options.port = UnusedLoopbackPort();
  options.progress = &progress;
  EXPECT_EQ(HttpGet("127.0.0.1/x", options), QByteArray());
  EXPECT_EQ(progress.events, QStringList());
}

struct ProgressCase {
  const char* name;
  const char* fault;
  std::vector<ServerStep> script;
  QStringList events;
};

const QString kOpen = "open read : http://127.0.0.1/software/new version.zip | 520";

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.name; }

class HttpGetProgress : public testing::TestWithParam<ProgressCase> {};

TEST_P(HttpGetProgress, ReportsUrlTotalAndPosition) {
  const ProgressCase& c = GetParam();
  SCOPED_TRACE(c.fault);
  ScriptedServer server(c.script);
  RecordingProgress progress;
  HttpGetOptions options;
  options.port = server.port();
  options.progress = &progress;
  HttpGet("http://127.0.0.1/software/new version.zip", options);
  EXPECT_EQ(progress.events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, HttpGetProgress,
    testing::ValuesIn(std::vector<ProgressCase>{
        {"Length",
         "misses the total or a position, or shows the escaped URL",
         {Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhe"), Pause(kSplitMs), Send("llo")},
         {kOpen, "total 5", "pos 2", "pos 5", "close"}},
        {"Chunked",
         "does not grow the total chunk by chunk",
         {Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"),
          Pause(kSplitMs), Send("3\r\nabc\r\n0\r\n\r\n")},
         {kOpen, "total 5", "pos 5", "total 8", "pos 8", "close"}},
        {"UntilClose",
         "reports positions without a known total",
         {Send("HTTP/1.1 200 OK\r\n\r\nhello")},
         {kOpen, "close"}},
        {"Failure",
         "leaves the display open after a failure",
         {Send("HTTP/1.1 404 Not Found\r\n\r\n")},
         {kOpen, "close"}},
    }),
    [](const testing::TestParamInfo<ProgressCase>& info) { return std::string(info.param.name); });

}  // namespace
