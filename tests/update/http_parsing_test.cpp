// The byte-level pieces of HttpGet: URL escaping and splitting, header lines, framing and
// chunk sizes.
#include <gtest/gtest.h>

#include <QList>
#include <optional>
#include <string>
#include <vector>

#include "update/http_get.h"
#include "update/http_response.h"

using namespace update;

namespace {

constexpr qint64 kCap = qint64(256) << 20;

struct EscapeCase {
  const char* fault;
  QByteArray text;
  QByteArray set;
  QByteArray expected;
};

TEST(PercentEscape, ReplacesExactlyTheBytesOfTheSet) {
  const std::vector<EscapeCase> cases = {
      {"escapes a blank wrongly", "a b", " \t", "a%20b"},
      {"escapes a tab wrongly", "a\tb", " \t", "a%09b"},
      {"uses small hexadecimal letters", "x\x1f", "\x1f", "x%1F"},
      {"escapes the inserted percent signs again", "  %", " %", "%20%20%25"},
      {"treats high bytes as negative", "\xC3\xA9", "\xA9", "\xC3%A9"},
      {"escapes bytes outside the set", "a%?#\xff", " \t", "a%?#\xff"},
      {"stops at a NUL byte", QByteArray("a\0 b", 4), " ", QByteArray("a\0%20b", 6)},
      {"mishandles an empty text", "", " ", ""},
      {"mishandles an empty set", "a b", "", "a b"},
  };
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.fault);
    EXPECT_EQ(PercentEscape(c.text, c.set), c.expected);
  }
}

struct SplitCase {
  const char* fault;
  QByteArray url;
  QByteArray host;
  QByteArray path;
};

TEST(SplitHttpUrl, DropsTheSchemeEscapesAndSplitsAtTheFirstSlash) {
  const std::vector<SplitCase> cases = {
      {"keeps the scheme", "http://h/a/b", "h", "/a/b"},
      {"misses a capital scheme", "HtTp://h/a", "h", "/a"},
      {"lower-cases more than the test", "HTTP://Host/A", "Host", "/A"},
      {"splits at the last slash", "h/a/b/c", "h", "/a/b/c"},
      {"invents a path", "h", "h", ""},
      {"recognises another scheme", "https://h/a", "https:", "//h/a"},
      {"separates the port", "h:8080/a", "h:8080", "/a"},
      {"escapes after splitting", "h/a b\tc", "h", "/a%20b%09c"},
      {"drops the scheme twice", "http://http://h/a", "http:", "//h/a"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.fault);
    const HttpTarget target = SplitHttpUrl(c.url);
    EXPECT_EQ(target.host, c.host);
    EXPECT_EQ(target.path, c.path);
  }
}

struct HeaderCase {
  const char* fault;
  std::vector<QByteArray> lines;
  bool accepted;
  std::vector<std::pair<QByteArray, QByteArray>> fields;
};

TEST(AddHeaderLine, ParsesFieldsAndContinuations) {
  const std::vector<HeaderCase> cases = {
      {"keeps the name's letter case", {"Content-Length: 5"}, true, {{"content-length", "5"}}},
      {"keeps blanks around the value", {"X:  a b \t"}, true, {{"x", "a b"}}},
      {"splits at a later colon", {"X: a:b"}, true, {{"x", "a:b"}}},
      {"accepts an empty value badly", {"X:"}, true, {{"x", ""}}},
      {"accepts a line without colon", {"Content-Length 5"}, false, {}},
      {"accepts an empty name", {": 5"}, false, {}},
      {"accepts a blank inside the name", {"Content-Length : 5"}, false, {}},
      {"ignores a continuation", {"X: a", " b", "\tc"}, true, {{"x", "a b c"}}},
      {"accepts a continuation of nothing", {" b"}, false, {}},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.fault);
    QList<HttpField> fields;
    bool accepted = true;
    for (const QByteArray& line : c.lines) accepted = accepted && AddHeaderLine(line, &fields);
    EXPECT_EQ(accepted, c.accepted);
    if (!c.accepted) continue;
    ASSERT_EQ(fields.size(), qsizetype(c.fields.size()));
    for (size_t i = 0; i < c.fields.size(); ++i) {
      EXPECT_EQ(fields[i].name, c.fields[i].first);
      EXPECT_EQ(fields[i].value, c.fields[i].second);
    }
  }
}

struct FramingCase {
  const char* fault;
  QList<HttpField> fields;
  qint64 maxLength;
  std::optional<BodyFraming> framing;  // empty: rejected
  qint64 length;
};

TEST(DecideFraming, ChunkedThenLengthThenClose) {
  const std::vector<FramingCase> cases = {
      {"guesses chunked without a length", {{"server", "x"}}, kCap, BodyFraming::kUntilClose, 0},
      {"ignores the length", {{"content-length", "42"}}, kCap, BodyFraming::kLength, 42},
      {"treats a zero length as open-ended",
       {{"content-length", "0"}},
       kCap,
       BodyFraming::kLength,
       0},
      {"reads leading zeros as octal", {{"content-length", "010"}}, kCap, BodyFraming::kLength, 10},
      {"lets the length win over chunked",
       {{"content-length", "5"}, {"transfer-encoding", "chunked"}},
       kCap,
       BodyFraming::kChunked,
       0},
      {"matches the coding by letter case",
       {{"transfer-encoding", "CHUNKED"}},
       kCap,
       BodyFraming::kChunked,
       0},
      {"accepts a coding it cannot undo", {{"transfer-encoding", "gzip"}}, kCap, std::nullopt, 0},
      {"accepts chunked after another coding",
       {{"transfer-encoding", "gzip"}, {"transfer-encoding", "chunked"}},
       kCap,
       std::nullopt,
       0},
      {"accepts a signed length", {{"content-length", "-1"}}, kCap, std::nullopt, 0},
      {"accepts a length with blanks inside", {{"content-length", "1 2"}}, kCap, std::nullopt, 0},
      {"reads a letter as a decimal digit", {{"content-length", "1a"}}, kCap, std::nullopt, 0},
      {"accepts a length list", {{"content-length", "5, 5"}}, kCap, std::nullopt, 0},
      {"wraps at 32 bits",
       {{"content-length", "4294967301"}},
       qint64(1) << 40,
       BodyFraming::kLength,
       4294967301},
      {"wraps at 64 bits", {{"content-length", "9223372036854775808"}}, INT64_MAX, std::nullopt, 0},
      {"accepts a length above the cap", {{"content-length", "101"}}, 100, std::nullopt, 0},
      {"rejects a length at the cap", {{"content-length", "100"}}, 100, BodyFraming::kLength, 100},
      {"accepts differing lengths",
       {{"content-length", "5"}, {"content-length", "6"}},
       kCap,
       std::nullopt,
       0},
  };
  for (const FramingCase& c : cases) {
    SCOPED_TRACE(c.fault);
    const std::optional<ResponseFraming> framing = DecideFraming(c.fields, c.maxLength);
    ASSERT_EQ(framing.has_value(), c.framing.has_value());
    if (!framing) continue;
    EXPECT_EQ(framing->framing, *c.framing);
    if (framing->framing == BodyFraming::kLength) {
      EXPECT_EQ(framing->length, c.length);
    }
  }
}

struct ChunkSizeCase {
  const char* fault;
  QByteArray line;
  qint64 maxSize;
  std::optional<qint64> size;
};

TEST(ParseChunkSize, HexDigitsThenOptionalExtension) {
  const std::vector<ChunkSizeCase> cases = {
      {"reads the size as decimal", "1a2b", kCap, 0x1a2b},
      {"misses capital hexadecimal digits", "1A2B", kCap, 0x1a2b},
      {"rejects the last chunk", "0", kCap, 0},
      {"rejects an extension", "5;name=value", kCap, 5},
      {"rejects blanks before an extension", "5 \t;x", kCap, 5},
      {"rejects trailing blanks", "5  ", kCap, 5},
      {"accepts no digits", "", kCap, std::nullopt},
      {"accepts a leading blank", " 5", kCap, std::nullopt},
      {"accepts a sign", "-5", kCap, std::nullopt},
      {"accepts a 0x prefix", "0x5", kCap, std::nullopt},
      {"accepts junk after the digits", "5 junk", kCap, std::nullopt},
      {"wraps an overflowing size", "10000000000000005", INT64_MAX, std::nullopt},
      {"accepts a size above the limit", "11", 16, std::nullopt},
      {"rejects a size at the limit", "10", 16, 16},
  };
  for (const ChunkSizeCase& c : cases) {
    SCOPED_TRACE(c.fault);
    EXPECT_EQ(ParseChunkSize(c.line, c.maxSize), c.size);
  }
}

}  // namespace
