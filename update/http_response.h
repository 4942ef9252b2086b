#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <optional>

// Reading an HTTP/1.1 response: the pieces that decide how its body is framed (pure functions
// over bytes), then the head and body read from a connection.

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
// tab continues the previous field and is appended to `fields.back()` after one blank. Returns
// false for a line that is neither a field ("name:value", the name non-empty and free of blanks
// and tabs) nor a continuation that has a field to continue.
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

class HttpConnection;
class TransferProgress;

// Reads the status line and the header block of a response from `connection`. The status line
// must be exactly "HTTP/1.1 200 OK"; every line must end in CR LF. Empty for any other status,
// a malformed or too large header block, a framing DecideFraming rejects (a length above
// `maxBodyBytes` included), or a failed read.
std::optional<ResponseFraming> ReadResponseHead(HttpConnection& connection, qint64 maxBodyBytes);

// Reads the body framed as `framing` and returns all of it: every chunk joined (extensions and
// trailers skipped), exactly the announced length, or everything up to the server's close.
// Empty when the body ends early, a chunk is malformed, the body would exceed `maxBodyBytes`, or
// a read fails. Reports the known length and the position to `progress` (may be null).
std::optional<QByteArray> ReadBody(HttpConnection& connection, const ResponseFraming& framing,
                                   qint64 maxBodyBytes, TransferProgress* progress);
