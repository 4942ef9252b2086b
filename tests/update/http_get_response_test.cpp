// How HttpGet frames and accepts responses, against exact bytes from the scripted server.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/update/http_scripted_server.h"
#include "update/http_get.h"

using namespace update;

namespace {

// Longer than the scripted server's longest wait, so a client that waits for the server to
// close is caught by ClientClosedFirst() instead of by its own time-out.
constexpr int kPatientReadMs = 10000;
constexpr int kStallWindowMs = 300;
constexpr qint64 kSmallCap = 16;
constexpr int kSplitMs = 40;
// The header block, from the status line to the empty line that ends it, CR LF included.
constexpr size_t kLargestHeaderBlock = 64 * 1024;
constexpr int kMostHeaderLines = 100;  // the status line included

const std::string kOk = "HTTP/1.1 200 OK\r\n";

struct ResponseCase {
  const char* name;
  const char* fault;  // what a client failing this case gets wrong
  std::vector<ServerStep> script;
  std::string expected;  // empty: the fetch must fail
  bool clientClosesFirst = false;
  int windowMs = kPatientReadMs;
  qint64 maxBodyBytes = HttpGetOptions().maxBodyBytes;
};

// Every test process builds the whole table, so eight bytes are taken per draw.
std::string RandomBytes(size_t count, unsigned seed) {
  std::mt19937_64 generator(seed);
  std::string bytes(count + sizeof(uint64_t), '\0');
  for (size_t at = 0; at < count; at += sizeof(uint64_t)) {
    const uint64_t word = generator();
    std::memcpy(bytes.data() + at, &word, sizeof word);
  }
  bytes.resize(count);
  return bytes;
}

std::string Hex(size_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%zx", value);
  return text;
}

// `body` as chunks of growing sizes, ended by the zero-size chunk.
std::string Chunked(const std::string& body) {
  std::string out;
  size_t size = 1;
  for (size_t at = 0; at < body.size(); at += size, size = size * 3 + 1) {
    const std::string piece = body.substr(at, size);
    out += Hex(piece.size()) + "\r\n" + piece + "\r\n";
  }
  return out + "0\r\n\r\n";
}

const std::string kBigBody = RandomBytes(3 * 1024 * 1024 + 7, 5);
// A field line that fills the header block "HTTP/1.1 200 OK", this line, "Content-Length: 5"
// and the empty line to exactly its largest size.
const std::string kPadToLimit = "X-Pad: " +
                                std::string(kLargestHeaderBlock - kOk.size() - 7 - 2 -
                                                std::string("Content-Length: 5\r\n\r\n").size(),
                                            'p') +
                                "\r\n";

std::string Lines(const std::string& line, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += line;
  return out;
}

std::vector<ResponseCase> Cases() {
  return {
      // Content-Length.
      {"LengthExact",
       "reads past the length or drops bytes",
       {Send(kOk + "Content-Length: 5\r\n\r\nhello")},
       "hello"},
      {"LengthServerSendsMore",
       "returns bytes beyond the announced length",
       {Send(kOk + "Content-Length: 5\r\n\r\nhello world")},
       "hello"},
      {"LengthKeptOpen",
       "waits for the close although the length is complete",
       {Send(kOk + "Content-Length: 5\r\n\r\nhello"), Hold()},
       "hello",
       true},
      {"LengthSplitEverywhere",
       "loses bytes buffered across packet borders",
       {Send("HTTP/1.1 200 OK\r\nConte"), Pause(kSplitMs), Send("nt-Length: 5\r"), Pause(kSplitMs),
        Send("\n\r\nhe"), Pause(kSplitMs), Send("llo")},
       "hello"},
      {"LengthShortBody",
       "returns a short body as success",
       {Send(kOk + "Content-Length: 10\r\n\r\nhello")},
       ""},
      {"LengthShortBodyReset",
       "treats a reset like a complete body",
       {Send(kOk + "Content-Length: 10\r\n\r\nhello"), Pause(kSplitMs), Reset()},
       ""},
      {"LengthZeroAtOnce",
       "waits for the close on a zero length",
       {Send(kOk + "Content-Length: 0\r\n\r\n"), Hold()},
       "",
       true},
      {"LengthLowerCaseName",
       "matches the header name by letter case",
       {Send(kOk + "content-length: 5\r\n\r\nhelloEXTRA")},
       "hello"},
      {"LengthCapitalName",
       "matches the header name by letter case",
       {Send(kOk + "CONTENT-LENGTH: 5\r\n\r\nhelloEXTRA")},
       "hello"},
      {"LengthFolded",
       "ignores a continued header line",
       {Send(kOk + "Content-Length:\r\n 5\r\n\r\nhelloEXTRA")},
       "hello"},
      {"LengthRepeatedEqual",
       "rejects a repeated equal length",
       {Send(kOk + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nhello")},
       "hello"},
      {"LengthRepeatedDiffering",
       "picks one of two differing lengths",
       {Send(kOk + "Content-Length: 5\r\nContent-Length: 3\r\n\r\nhello")},
       ""},
      {"LengthNegative",
       "accepts a signed length",
       {Send(kOk + "Content-Length: -5\r\n\r\nhello")},
       ""},
      {"LengthPlusSign",
       "accepts a signed length",
       {Send(kOk + "Content-Length: +5\r\n\r\nhello")},
       ""},
      {"LengthNotANumber",
       "reads a non-number as zero",
       {Send(kOk + "Content-Length: five\r\n\r\nhello")},
       ""},
      {"LengthTrailingJunk",
       "stops at the first non-digit",
       {Send(kOk + "Content-Length: 5x\r\n\r\nhello")},
       ""},
      {"LengthEmpty",
       "reads an empty length as zero",
       {Send(kOk + "Content-Length:\r\n\r\nhello")},
       ""},
      {"LengthOverflow",
       "wraps an overflowing length",
       {Send(kOk + "Content-Length: 18446744073709551621\r\n\r\nhello")},
       ""},
      {"LengthAboveCap",
       "reads a body larger than the cap",
       {Send(kOk + "Content-Length: 17\r\n\r\n" + std::string(17, 'a'))},
       "",
       false,
       kPatientReadMs,
       kSmallCap},
      {"LengthAtCap",
       "rejects a body of exactly the cap",
       {Send(kOk + "Content-Length: 16\r\n\r\n" + std::string(16, 'a'))},
       std::string(16, 'a'),
       false,
       kPatientReadMs,
       kSmallCap},
      {"LengthMegabytes",
       "loses or reorders bytes of a large body",
       {Send(kOk + "Content-Length: " + std::to_string(kBigBody.size()) + "\r\n\r\n" + kBigBody)},
       kBigBody},

      // Transfer-Encoding: chunked.
      {"ChunkedOne",
       "misreads a single chunk",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n")},
       "hello"},
      {"ChunkedMany",
       "returns only the first chunk",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n1\r\n \r\n5\r\nworld\r\n"
                   "0\r\n\r\n")},
       "hello world"},
      {"ChunkedExtensions",
       "reads chunk extensions as data or rejects them",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5;name=value\r\nhello\r\n"
                   "6 ; x=\"a;b\"\r\n world\r\n0;last\r\n\r\n")},
       "hello world"},
      {"ChunkedTrailers",
       "takes trailer lines into the body",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\nExpires: never\r\n"
                   "X-Sum: 1\r\n\r\n")},
       "hello"},
      {"ChunkedSizeLineSplit",
       "loses a size line split across packets",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n1"), Pause(kSplitMs), Send("A\r"),
        Pause(kSplitMs), Send("\nabcdefghijklmnopqrstuvwxyz"), Pause(kSplitMs), Send("\r\n0\r"),
        Pause(kSplitMs), Send("\n\r\n")},
       "abcdefghijklmnopqrstuvwxyz"},
      {"ChunkedUpperAndLowerHex",
       "misreads hexadecimal letters",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\nA\r\n0123456789\r\nb\r\n0123456789a\r\n"
                   "0\r\n\r\n")},
       "01234567890123456789a"},
      {"ChunkedLowerCaseNames",
       "matches the header name or value by letter case",
       {Send(kOk + "transfer-encoding: Chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n")},
       "hello"},
      {"ChunkedWinsOverLength",
       "frames by Content-Length when chunked is announced too",
       {Send(kOk + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"
                   "0\r\n\r\n")},
       "hello"},
      {"ChunkedKeptOpen",
       "waits for the close after the last chunk",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"), Hold()},
       "hello",
       true},
      {"ChunkedMegabytes",
       "loses bytes between many chunks",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n" + Chunked(kBigBody))},
       kBigBody},
      {"ChunkedSizeNotHex",
       "reads a size without digits as zero",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\nxyz\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedSizeNegative",
       "accepts a signed chunk size",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n-5\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedSizeHexPrefix",
       "accepts a 0x prefix",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n0x5\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedSizeEmpty",
       "reads an empty size line as zero",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedSizeJunk",
       "stops at the first non-digit of a size line",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5 junk\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedSizeOverflow",
       "wraps an overflowing chunk size",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n10000000000000005\r\nhello\r\n0\r\n\r\n")},
       ""},
      {"ChunkedDataNotEndedByCrLf",
       "ignores what follows a chunk's data",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhelloXX\r\n0\r\n\r\n")},
       ""},
      {"ChunkedCloseInsideChunk",
       "returns a cut chunk as success",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\na\r\nhello")},
       ""},
      {"ChunkedCloseBeforeLastChunk",
       "returns a body without its last chunk as success",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n")},
       ""},
      {"ChunkedResetBeforeLastChunk",
       "treats a reset like the last chunk",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"), Pause(kSplitMs), Reset()},
       ""},
      {"ChunkedAboveCap",
       "joins chunks beyond the cap",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n10\r\n" + std::string(16, 'a') +
             "\r\n1\r\nb\r\n0\r\n\r\n")},
       "",
       false,
       kPatientReadMs,
       kSmallCap},
      {"TransferEncodingGzip",
       "returns bytes of a coding it cannot undo",
       {Send(kOk + "Transfer-Encoding: gzip\r\n\r\nhello")},
       ""},
      {"TransferEncodingGzipChunked",
       "returns bytes of a coding it cannot undo",
       {Send(kOk + "Transfer-Encoding: gzip, chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n")},
       ""},

      // Neither: the body runs until the server closes.
      {"UntilClose",
       "stops before the server closes",
       {Send(kOk + "\r\nhello"), Pause(kSplitMs), Send(" world")},
       "hello world"},
      {"UntilCloseReset",
       "drops what arrived before a reset, which ends an open-ended body like a close",
       {Send(kOk + "\r\nhello"), Pause(kSplitMs), Reset()},
       "hello"},
      {"UntilCloseHexLikeBody",
       "guesses chunked from a missing length",
       {Send(kOk + "\r\n1a2b\r\nrest of the body")},
       "1a2b\r\nrest of the body"},
      {"UntilCloseEmpty", "invents a body", {Send(kOk + "\r\n")}, ""},
      {"UntilCloseAboveCap",
       "gathers a body beyond the cap",
       {Send(kOk + "\r\n" + std::string(17, 'a'))},
       "",
       false,
       kPatientReadMs,
       kSmallCap},
      {"UntilCloseAtCap",
       "rejects a body of exactly the cap",
       {Send(kOk + "\r\n" + std::string(16, 'a'))},
       std::string(16, 'a'),
       false,
       kPatientReadMs,
       kSmallCap},

      // Status line and header block.
      {"StatusNotFound",
       "accepts another status",
       {Send("HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\nhello")},
       ""},
      {"StatusOtherVersion",
       "accepts another protocol version",
       {Send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello")},
       ""},
      {"StatusOtherReason",
       "accepts another reason phrase",
       {Send("HTTP/1.1 200 Ok\r\nContent-Length: 5\r\n\r\nhello")},
       ""},
      {"StatusTrailingBlank",
       "accepts bytes after the status line",
       {Send("HTTP/1.1 200 OK \r\nContent-Length: 5\r\n\r\nhello")},
       ""},
      {"StatusLater",
       "accepts the 200 line after another status line",
       {Send("HTTP/1.1 302 Found\r\nHTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello")},
       ""},
      {"BareLineFeeds",
       "accepts lines ended by a bare line feed",
       {Send("HTTP/1.1 200 OK\nContent-Length: 5\n\nhello")},
       ""},
      {"BareLineFeedInHeader",
       "accepts a header line ended by a bare line feed",
       {Send(kOk + "Content-Length: 5\n\r\nhello")},
       ""},
      {"BareLineFeedInLengthLine",
       "takes a line ended by a bare line feed, less its last byte, as a shorter length",
       {Send(kOk + "Content-Length: 10\n\r\nhelloworld")},
       ""},
      {"BareLineFeedAfterChunkSize",
       "accepts a size line ended by a bare line feed",
       {Send(kOk + "Transfer-Encoding: chunked\r\n\r\n5\nhello\r\n0\r\n\r\n")},
       ""},
      {"HeaderWithoutColon",
       "skips a malformed header line",
       {Send(kOk + "Content-Length 5\r\n\r\nhello")},
       ""},
      {"CloseInsideHeaders", "accepts a cut header block", {Send(kOk + "Content-Len")}, ""},
      {"HeaderBlockAtLimit",
       "rejects a header block of the largest allowed size",
       {Send(kOk + kPadToLimit + "Content-Length: 5\r\n\r\nhello")},
       "hello"},
      {"HeaderBlockBeyondLimit",
       "accepts a header block beyond the limit",
       {Send(kOk + "p" + kPadToLimit + "Content-Length: 5\r\n\r\nhello")},
       ""},
      {"HeaderLinesAtLimit",
       "rejects a header block of the most lines allowed",
       {Send(kOk + Lines("X-A: b\r\n", kMostHeaderLines - 2) + "Content-Length: 5\r\n\r\nhello")},
       "hello"},
      {"HeaderLinesBeyondLimit",
       "accepts a header block of more lines than allowed",
       {Send(kOk + Lines("X-A: b\r\n", kMostHeaderLines - 1) + "Content-Length: 5\r\n\r\nhello")},
       ""},
      {"NothingSent", "invents a response", {}, ""},

      // Stalls: a short read time-out is injected.
      {"StallBeforeStatus",
       "waits without end for the status line",
       {Hold()},
       "",
       true,
       kStallWindowMs},
      {"StallInsideBody",
       "waits without end for the rest of the body",
       {Send(kOk + "Content-Length: 10\r\n\r\nhello"), Hold()},
       "",
       true,
       kStallWindowMs},
      {"StallUntilClose",
       "takes a stall for the end of an open-ended body",
       {Send(kOk + "\r\nhello"), Hold()},
       "",
       true,
       kStallWindowMs},
  };
}

void PrintTo(const ResponseCase& c, std::ostream* os) { *os << c.name; }

class HttpGetResponse : public testing::TestWithParam<ResponseCase> {};

TEST_P(HttpGetResponse, GivesTheCompleteBodyOrNothing) {
  const ResponseCase& c = GetParam();
  SCOPED_TRACE(c.fault);
  ScriptedServer server(c.script);
  HttpGetOptions options;
  options.port = server.port();
  options.windowMs = c.windowMs;
  options.maxBodyBytes = c.maxBodyBytes;
  const QByteArray body = HttpGet("127.0.0.1/file", options);
  EXPECT_EQ(body.toStdString(), c.expected);
  if (c.clientClosesFirst) {
    EXPECT_EQ(server.ClientClosedFirst(), true);
  }
}

INSTANTIATE_TEST_SUITE_P(Responses, HttpGetResponse, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ResponseCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
