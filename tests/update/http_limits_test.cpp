// HttpGet against hostile or stalled servers: every such transfer must end, and end soon. Each
// case bounds the time the call may take, generously, since the machine may be loaded; the
// bounds are far below what a client without the limit would take.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/update/http_scripted_server.h"
#include "update/http_connection.h"
#include "update/http_get.h"

using namespace update;

namespace {

const std::string kOk = "HTTP/1.1 200 OK\r\n";
constexpr int kNever = -1;
constexpr int kCancelAtMs = 300;
// A pressed Cancel must end the transfer within 250 ms; the bound leaves room for a busy machine.
constexpr qint64 kCancelBoundMs = kCancelAtMs + 1000;
constexpr int kShortWindowMs = 500;
constexpr qint64 kShortDeadlineMs = 1000;
constexpr int kTrickleSteps = 200;
constexpr int kTrickleMs = 50;

// Answers "cancelled" from `cancelAtMs` after its construction on (never when negative).
class CancelAfter : public TransferProgress {
 public:
  explicit CancelAfter(int cancelAtMs) : cancelAtMs_(cancelAtMs) { clock_.start(); }
  void Open(const QString&, int) override {}
  void SetTotal(qint64) override {}
  void SetPos(qint64) override {}
  bool Cancelled() override { return cancelAtMs_ >= 0 && clock_.elapsed() >= cancelAtMs_; }
  void Close() override {}

 private:
  int cancelAtMs_;
  QElapsedTimer clock_;
};

// `piece` sent kTrickleSteps times, kTrickleMs apart, after `head`.
std::vector<ServerStep> Trickle(const std::string& head, const std::string& piece) {
  std::vector<ServerStep> script = {Send(head)};
  for (int i = 0; i < kTrickleSteps; ++i) {
    script.push_back(Pause(kTrickleMs));
    script.push_back(Send(piece));
  }
  return script;
}

std::string Repeat(const std::string& line, size_t totalBytes) {
  std::string out;
  out.reserve(totalBytes);
  while (out.size() < totalBytes) out += line;
  return out;
}

// The server's script is made only when its case runs, so the large ones cost nothing elsewhere.
using Script = std::vector<ServerStep> (*)();

struct HostileCase {
  const char* name;
  const char* fault;
  Script script;  // null: the connection is never made at all
  qint64 boundMs;
  // The limit or the Cancel the case is about ends the call: not before this.
  qint64 notBeforeMs = 0;
  int windowMs = HttpGetOptions().windowMs;
  qint64 deadlineMs = HttpGetOptions().deadlineMs;
  int cancelAtMs = kNever;
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

const std::string kHugeLength = "Content-Length: 100000000\r\n\r\n";

std::vector<HostileCase> Cases() {
  return {
      {.name = "FoldedLines",
       .fault = "copies the whole value for every folded line: 8 MB take minutes",
       .script =
           [] {
             return std::vector<ServerStep>{Send(kOk + "X-Folded: a\r\n" +
                                                 Repeat(" x\r\n", 8 << 20) +
                                                 "Content-Length: 5\r\n\r\nhello")};
           },
       .boundMs = 1000},
      {.name = "EmptyFieldLines",
       .fault = "keeps 15 MB of header fields, and many times that in memory",
       .script =
           [] {
             return std::vector<ServerStep>{
                 Send(kOk + Repeat("a:\r\n", 15 << 20) + "Content-Length: 5\r\n\r\nhello")};
           },
       .boundMs = 1000},
      {.name = "TrickledBody",
       .fault = "restarts its time-out after every byte",
       .script = [] { return Trickle(kOk + kHugeLength, "x"); },
       .boundMs = 3000,
       .notBeforeMs = kShortWindowMs,
       .windowMs = kShortWindowMs},
      {.name = "TrickledHeader",
       .fault = "restarts its time-out after every byte",
       .script = [] { return Trickle(kOk, "X-A: b\r\n"); },
       .boundMs = 3000,
       .notBeforeMs = kShortWindowMs,
       .windowMs = kShortWindowMs},
      {.name = "TrickleAfterBurst",
       .fault = "counts the bytes of every window since the first",
       .script = [] { return Trickle(kOk + kHugeLength + std::string(2048, 'x'), "x"); },
       .boundMs = 3000,
       .notBeforeMs = kShortWindowMs,
       .windowMs = kShortWindowMs},
      {.name = "SteadyButEndless",
       .fault = "has no overall deadline",
       .script = [] { return Trickle(kOk + kHugeLength, std::string(2048, 'x')); },
       .boundMs = 3000,
       .notBeforeMs = kShortDeadlineMs,
       .windowMs = kShortWindowMs,
       .deadlineMs = kShortDeadlineMs},
      {.name = "CancelWhileConnecting",
       .fault = "ignores Cancel until the connection is made",
       .script = nullptr,
       .boundMs = kCancelBoundMs,
       .notBeforeMs = kCancelAtMs,
       .cancelAtMs = kCancelAtMs},
      {.name = "CancelInHeaderStall",
       .fault = "ignores Cancel while the server is silent",
       .script = [] { return std::vector<ServerStep>{Hold()}; },
       .boundMs = kCancelBoundMs,
       .notBeforeMs = kCancelAtMs,
       .cancelAtMs = kCancelAtMs},
      {.name = "CancelInLengthBody",
       .fault = "ignores Cancel while a body of known length stalls",
       .script =
           [] {
             return std::vector<ServerStep>{Send(kOk + "Content-Length: 10\r\n\r\nhello"), Hold()};
           },
       .boundMs = kCancelBoundMs,
       .notBeforeMs = kCancelAtMs,
       .cancelAtMs = kCancelAtMs},
      {.name = "CancelInChunkedBody",
       .fault = "ignores Cancel while a chunked body stalls",
       .script =
           [] {
             return std::vector<ServerStep>{
                 Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"), Hold()};
           },
       .boundMs = kCancelBoundMs,
       .notBeforeMs = kCancelAtMs,
       .cancelAtMs = kCancelAtMs},
      {.name = "CancelInUntilCloseBody",
       .fault = "ignores Cancel while an open-ended body stalls",
       .script =
           [] {
             return std::vector<ServerStep>{Send(kOk + "\r\nhello"), Hold()};
           },
       .boundMs = kCancelBoundMs,
       .notBeforeMs = kCancelAtMs,
       .cancelAtMs = kCancelAtMs},
  };
}

class HttpGetHostile : public testing::TestWithParam<HostileCase> {};

TEST_P(HttpGetHostile, FailsWithinItsBound) {
  const HostileCase& c = GetParam();
  SCOPED_TRACE(c.fault);
  std::unique_ptr<ScriptedServer> server;
  std::unique_ptr<StalledListener> stalled;
  HttpGetOptions options;
  if (c.script == nullptr) {
    stalled = std::make_unique<StalledListener>();
    options.port = stalled->port();
  } else {
    server = std::make_unique<ScriptedServer>(c.script());
    options.port = server->port();
  }
  options.windowMs = c.windowMs;
  options.deadlineMs = c.deadlineMs;
  CancelAfter progress(c.cancelAtMs);
  options.progress = &progress;

  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(HttpGet("127.0.0.1/software/x.zip", options), QByteArray());
  const qint64 elapsedMs = clock.elapsed();
  EXPECT_LT(elapsedMs, c.boundMs);
  EXPECT_GE(elapsedMs, c.notBeforeMs);
  RecordProperty("elapsed_ms", static_cast<int>(elapsedMs));
}

INSTANTIATE_TEST_SUITE_P(Servers, HttpGetHostile, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HostileCase>& info) {
                           return std::string(info.param.name);
                         });

constexpr int kWindowMs = 1000;
constexpr qint64 kMinWindowBytes = 1024;
constexpr qint64 kDeadlineMs = 6000;
constexpr qint64 kCheckEveryMs = 50;

struct Arrival {
  qint64 atMs;
  qint64 bytes;
};

struct LimitsCase {
  const char* fault;
  std::vector<Arrival> arrivals;  // in time order
  qint64 passedAtMs;              // the first check, every 50 ms, that finds a limit passed
};

void PrintTo(const LimitsCase& c, std::ostream* os) { *os << c.fault; }

class TransferLimitsTest : public testing::TestWithParam<LimitsCase> {};

// Bytes arrive at their times, the limits are asked every 50 ms as a connection asks them.
TEST_P(TransferLimitsTest, PassedAtTheFirstWindowShortOfTheMinimum) {
  const LimitsCase& c = GetParam();
  HttpGetOptions options;
  options.windowMs = kWindowMs;
  options.minWindowBytes = kMinWindowBytes;
  options.deadlineMs = kDeadlineMs;
  TransferLimits limits(options);
  auto next = c.arrivals.begin();
  qint64 nowMs = 0;
  for (; nowMs <= kDeadlineMs; nowMs += kCheckEveryMs) {
    for (; next != c.arrivals.end() && next->atMs <= nowMs; ++next) limits.Count(next->bytes);
    if (limits.Passed(nowMs)) break;
  }
  EXPECT_EQ(nowMs, c.passedAtMs) << c.fault;
}

std::vector<Arrival> BurstThenTrickle() {
  std::vector<Arrival> arrivals = {{0, 2048}};
  for (qint64 at = 100; at < kDeadlineMs; at += 100) arrivals.push_back({at, 1});
  return arrivals;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransferLimitsTest,
    testing::Values(LimitsCase{"the window's count kept from one window to the next",
                               BurstThenTrickle(), 2 * kWindowMs},
                    LimitsCase{"a window with exactly the minimum taken as too slow",
                               {{0, kMinWindowBytes}, {1500, kMinWindowBytes}},
                               3 * kWindowMs}));

}  // namespace
