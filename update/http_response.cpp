#include "update/http_response.h"

#include <QList>
#include <algorithm>

#include "update/http_connection.h"
#include "update/transfer_progress.h"

namespace {

constexpr char kStatusOk[] = "HTTP/1.1 200 OK";
// The lines of one header or trailer block may not exceed this in total, so that a server
// sending header lines without end cannot hold the transfer forever.
constexpr qint64 kMaxHeaderBlockBytes = 16 * HttpConnection::kMaxLineBytes;
// The most bytes taken from the connection by one read into the body.
constexpr qint64 kMaxReadBytes = 1000000;
constexpr qint64 kCrLfBytes = 2;

// Reads header (or trailer) lines up to the empty line that ends the block into *fields.
bool ReadFieldBlock(HttpConnection& connection, QList<HttpField>* fields) {
  qint64 blockBytes = 0;
  QByteArray line;
  for (;;) {
    if (!connection.ReadLine(&line)) return false;
    if (line.isEmpty()) return true;
    blockBytes += line.size() + kCrLfBytes;
    if (blockBytes > kMaxHeaderBlockBytes) return false;
    if (!AddHeaderLine(line, fields)) return false;
  }
}

// Appends exactly `count` bytes to *body, reporting the body's length as the position.
bool ReadExactly(HttpConnection& connection, qint64 count, QByteArray* body,
                 TransferProgress* progress) {
  const qint64 end = body->size() + count;
  while (body->size() < end) {
    const qint64 want = std::min(kMaxReadBytes, end - body->size());
    if (connection.ReadSome(body, want) != HttpConnection::ReadResult::kData) return false;
    if (progress != nullptr) progress->SetPos(body->size());
  }
  return true;
}

std::optional<QByteArray> ReadChunked(HttpConnection& connection, qint64 maxBodyBytes,
                                      TransferProgress* progress) {
  QByteArray body;
  QByteArray line;
  for (;;) {
    if (!connection.ReadLine(&line)) return std::nullopt;
    const std::optional<qint64> size = ParseChunkSize(line, maxBodyBytes - body.size());
    if (!size) return std::nullopt;
    if (*size == 0) break;
    if (progress != nullptr) progress->SetTotal(body.size() + *size);
    if (!ReadExactly(connection, *size, &body, progress)) return std::nullopt;
    // The chunk's data is followed by CR LF and nothing else.
    if (!connection.ReadLine(&line) || !line.isEmpty()) return std::nullopt;
  }
  QList<HttpField> trailers;
  if (!ReadFieldBlock(connection, &trailers)) return std::nullopt;
  return body;
}

std::optional<QByteArray> ReadUntilClose(HttpConnection& connection, qint64 maxBodyBytes) {
  QByteArray body;
  for (;;) {
    // One byte beyond the cap is asked for, so a body of exactly the cap still succeeds.
    const qint64 want = std::min(kMaxReadBytes, maxBodyBytes + 1 - body.size());
    switch (connection.ReadSome(&body, want)) {
      case HttpConnection::ReadResult::kData:
        if (body.size() > maxBodyBytes) return std::nullopt;
        break;
      case HttpConnection::ReadResult::kEnd:
        return body;
      case HttpConnection::ReadResult::kFailed:
        return std::nullopt;
    }
  }
}

}  // namespace

std::optional<ResponseFraming> ReadResponseHead(HttpConnection& connection, qint64 maxBodyBytes) {
  QByteArray status;
  if (!connection.ReadLine(&status) || status != kStatusOk) return std::nullopt;
  QList<HttpField> fields;
  if (!ReadFieldBlock(connection, &fields)) return std::nullopt;
  return DecideFraming(fields, maxBodyBytes);
}

std::optional<QByteArray> ReadBody(HttpConnection& connection, const ResponseFraming& framing,
                                   qint64 maxBodyBytes, TransferProgress* progress) {
  switch (framing.framing) {
    case BodyFraming::kChunked:
      return ReadChunked(connection, maxBodyBytes, progress);
    case BodyFraming::kLength: {
      if (framing.length > maxBodyBytes) return std::nullopt;
      if (progress != nullptr) progress->SetTotal(framing.length);
      QByteArray body;
      body.reserve(framing.length);
      if (!ReadExactly(connection, framing.length, &body, progress)) return std::nullopt;
      return body;
    }
    case BodyFraming::kUntilClose:
      return ReadUntilClose(connection, maxBodyBytes);
  }
  return std::nullopt;
}
