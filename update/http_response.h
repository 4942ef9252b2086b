#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <optional>

namespace update {

class TransferProgress;

// Reading an HTTP/1.1 response: the pieces that decide how its body is framed (pure functions
// over bytes), a buffered reader over any source of bytes, and the head and body read with it.

// The most a line may hold, and the most the header block (status line, fields and the empty
// line, CR LF included) or a trailer block may hold in total. A legitimate server sends a few
// hundred bytes of header.
inline constexpr qint64 kMaxHeaderBlockBytes = 64 * 1024;
inline constexpr qint64 kMaxLineBytes = kMaxHeaderBlockBytes;
// The most lines before the empty line that ends a header or trailer block, the status line
// included.
inline constexpr int kMaxHeaderLines = 100;

// Where the bytes of a response come from: a connection to the server, or a script.
class HttpByteSource {
 public:
  enum class ReadResult { kData, kEnd, kFailed };

  virtual ~HttpByteSource() = default;
  // Appends between 1 and `maxBytes` bytes to *out (kData), or reports that the server has
  // closed the connection and every byte was delivered (kEnd), or a failure: an error, a time
  // limit or cancellation (kFailed). A source that failed keeps failing.
  virtual ReadResult Receive(QByteArray* out, qint64 maxBytes) = 0;
};

// Reads lines and raw bytes from a source, keeping what arrived beyond a line for the next read.
// Holds at most about kMaxLineBytes plus one receive of buffered bytes.
class ResponseReader {
 public:
  // `source` must outlive the reader.
  explicit ResponseReader(HttpByteSource& source) : source_(source) {}
  ResponseReader(const ResponseReader&) = delete;
  ResponseReader& operator=(const ResponseReader&) = delete;

  // Reads the next line into *line without its CR LF. False at the end of the stream, on a
  // failure, for a line ended by a bare LF, and for a line longer than `maxBytes`.
  bool ReadLine(QByteArray* line, qint64 maxBytes);

  // Appends between 1 and `maxBytes` bytes to *out, buffered ones first; otherwise as
  // HttpByteSource::Receive.
  HttpByteSource::ReadResult ReadSome(QByteArray* out, qint64 maxBytes);

 private:
  HttpByteSource& source_;
  // Bytes received and not yet consumed start at pendingPos_.
  QByteArray pending_;
  qsizetype pendingPos_ = 0;
  // pending_ holds no line feed before this position.
  qsizetype scannedPos_ = 0;
};

// One header field: the name in lower case (names are matched without regard to case) and the
// value with surrounding blanks and tabs removed.
struct HttpField {
  QByteArray name;
  QByteArray value;
};

// How the body of a response ends.
enum class BodyFraming {
  kChunked,     // "Transfer-Encoding: chunked": chunks until the zero-size chunk
  kLength,      // "Content-Length": exactly that many bytes
  kUntilClose,  // neither: everything until the server closes the connection
};

struct ResponseFraming {
  BodyFraming framing = BodyFraming::kUntilClose;
  qint64 length = 0;  // the announced length; meaningful for kLength only
};

// Parses one header line (CR LF already removed) into a field. A line beginning with a blank or
// tab continues the previous field and is appended to `fields.back()` after one blank, in time
// proportional to the line. Returns false for a line that is neither a field ("name:value", the
// name non-empty and free of blanks and tabs) nor a continuation that has a field to continue.
bool AddHeaderLine(const QByteArray& line, QList<HttpField>* fields);

// Decides the framing from the fields: a Transfer-Encoding of exactly "chunked" (in any letter
// case) wins over Content-Length; otherwise a Content-Length of decimal digits only gives that
// length (repeated Content-Length fields must agree); otherwise the body runs until close.
// Empty for anything else: another transfer coding (which this client cannot undo), a
// Content-Length that is empty, signed, not a number, disagreeing, or larger than `maxLength`.
std::optional<ResponseFraming> DecideFraming(const QList<HttpField>& fields, qint64 maxLength);

// The size from a chunk-size line (CR LF already removed): hexadecimal digits, then optionally
// blanks or tabs and a chunk extension beginning with ";" (ignored). Empty when the line has no
// leading digit, holds anything else after the digits, or the size exceeds `maxSize`.
std::optional<qint64> ParseChunkSize(const QByteArray& line, qint64 maxSize);

// Reads the status line and the header block of a response. The status line must be exactly
// "HTTP/1.1 200 OK"; every line must end in CR LF. Empty for any other status, a malformed
// header block or one beyond kMaxHeaderBlockBytes or kMaxHeaderLines, a framing DecideFraming
// rejects (a length above `maxBodyBytes` included), or a failed read.
std::optional<ResponseFraming> ReadResponseHead(ResponseReader& reader, qint64 maxBodyBytes);

// Reads the body framed as `framing` and returns all of it: every chunk joined (extensions and
// trailers skipped), exactly the announced length, or everything up to the server's close.
// Empty when the body ends early, a chunk or the trailer block is malformed or too large, the
// body would exceed `maxBodyBytes`, or a read fails. Reports the known length and the position
// to `progress` (may be null).
std::optional<QByteArray> ReadBody(ResponseReader& reader, const ResponseFraming& framing,
                                   qint64 maxBodyBytes, TransferProgress* progress);

}  // namespace update
