#include "update/http_response.h"

#include <algorithm>

#include "update/http_get.h"

namespace update {

namespace {

constexpr char kContentLength[] = "content-length";
constexpr char kTransferEncoding[] = "transfer-encoding";
constexpr char kChunked[] = "chunked";
constexpr char kChunkExtensionStart = ';';
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;
constexpr char kStatusOk[] = "HTTP/1.1 200 OK";
// The most bytes taken from the source by one read into the body.
constexpr qint64 kMaxReadBytes = 1000000;
// The most bytes taken from the source at once while looking for the end of a line.
constexpr qint64 kLineFillBytes = 64 * 1024;
constexpr qint64 kCrLfBytes = 2;
using ReadResult = HttpByteSource::ReadResult;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray TrimBlanks(const QByteArray& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

// The value of a hexadecimal or decimal digit, or -1.
int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Reads the digits at the start of `text` as a number no larger than `max`. Sets *used to the
// number of digits read. Empty when there is no digit or the number exceeds `max`.
std::optional<qint64> ParseUnsigned(const QByteArray& text, int base, qint64 max, qsizetype* used) {
  qint64 value = 0;
  qsizetype i = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) break;
    // Checked before multiplying, so the value never overflows.
    if (digit > max || value > (max - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  if (i == 0) return std::nullopt;
  *used = i;
  return value;
}

std::optional<qint64> ParseContentLength(const QByteArray& value, qint64 maxLength) {
  qsizetype used = 0;
  const std::optional<qint64> length = ParseUnsigned(value, kDecimalBase, maxLength, &used);
  if (!length || used != value.size()) return std::nullopt;
  return length;
}

// What is left of a header or trailer block's allowance.
struct BlockAllowance {
  qint64 bytes = kMaxHeaderBlockBytes;
  int lines = kMaxHeaderLines;
};

// Reads one line of a header or trailer block, charging it to *allowance. The empty line that
// ends the block costs bytes but no line.
bool ReadBlockLine(ResponseReader& reader, QByteArray* line, BlockAllowance* allowance) {
  if (!reader.ReadLine(line, allowance->bytes - kCrLfBytes)) return false;
  allowance->bytes -= line->size() + kCrLfBytes;
  if (line->isEmpty()) return true;
  return --allowance->lines >= 0;
}

// Reads header (or trailer) lines up to the empty line that ends the block into *fields.
bool ReadFieldBlock(ResponseReader& reader, BlockAllowance allowance, QList<HttpField>* fields) {
  QByteArray line;
  for (;;) {
    if (!ReadBlockLine(reader, &line, &allowance)) return false;
    if (line.isEmpty()) return true;
    if (!AddHeaderLine(line, fields)) return false;
  }
}

// Appends exactly `count` bytes to *body, reporting the body's length as the position.
bool ReadExactly(ResponseReader& reader, qint64 count, QByteArray* body,
                 TransferProgress* progress) {
  const qint64 end = body->size() + count;
  while (body->size() < end) {
    const qint64 want = std::min(kMaxReadBytes, end - body->size());
    if (reader.ReadSome(body, want) != ReadResult::kData) return false;
    if (progress != nullptr) progress->SetPos(body->size());
  }
  return true;
}

std::optional<QByteArray> ReadChunked(ResponseReader& reader, qint64 maxBodyBytes,
                                      TransferProgress* progress) {
  QByteArray body;
  QByteArray line;
  for (;;) {
    if (!reader.ReadLine(&line, kMaxLineBytes)) return std::nullopt;
    const std::optional<qint64> size = ParseChunkSize(line, maxBodyBytes - body.size());
    if (!size) return std::nullopt;
    if (*size == 0) break;
    if (progress != nullptr) progress->SetTotal(body.size() + *size);
    if (!ReadExactly(reader, *size, &body, progress)) return std::nullopt;
    // The chunk's data is followed by CR LF and nothing else.
    if (!reader.ReadLine(&line, 0) || !line.isEmpty()) return std::nullopt;
  }
  QList<HttpField> trailers;
  if (!ReadFieldBlock(reader, BlockAllowance(), &trailers)) return std::nullopt;
  return body;
}

std::optional<QByteArray> ReadUntilClose(ResponseReader& reader, qint64 maxBodyBytes) {
  QByteArray body;
  for (;;) {
    // One byte beyond the cap is asked for, so a body of exactly the cap still succeeds.
    const qint64 want = std::min(kMaxReadBytes, maxBodyBytes + 1 - body.size());
    switch (reader.ReadSome(&body, want)) {
      case ReadResult::kData:
        if (body.size() > maxBodyBytes) return std::nullopt;
        break;
      case ReadResult::kEnd:
        return body;
      case ReadResult::kFailed:
        return std::nullopt;
    }
  }
}

// Makes room in *out for `more` bytes, the capacity growing by half at least. Reserving
// reallocates in place, which moves a large buffer without copying it; growth by appending
// would copy the whole body each time and hold it twice meanwhile.
void MakeRoom(QByteArray* out, qint64 more) {
  const qint64 needed = out->size() + more;
  if (needed <= out->capacity()) return;
  out->reserve(std::max(needed, out->capacity() + out->capacity() / 2));
}

}  // namespace

bool ResponseReader::ReadLine(QByteArray* line, qint64 maxBytes) {
  for (;;) {
    const qsizetype lineFeed = pending_.indexOf('\n', scannedPos_);
    if (lineFeed >= 0) {
      const qsizetype length = lineFeed - pendingPos_;
      const bool endsInCrLf = length > 0 && pending_[lineFeed - 1] == '\r';
      if (!endsInCrLf || length - 1 > maxBytes) return false;
      *line = pending_.mid(pendingPos_, length - 1);
      pendingPos_ = lineFeed + 1;
      scannedPos_ = pendingPos_;
      return true;
    }
    // One byte more than the longest line is allowed for its CR.
    if (pending_.size() - pendingPos_ > maxBytes + 1) return false;
    // Only an unfinished line is kept, so the buffer never holds much more than one line.
    pending_.remove(0, pendingPos_);
    pendingPos_ = 0;
    scannedPos_ = pending_.size();
    if (source_.Receive(&pending_, kLineFillBytes) != ReadResult::kData) return false;
  }
}

HttpByteSource::ReadResult ResponseReader::ReadSome(QByteArray* out, qint64 maxBytes) {
  const qint64 take = pendingPos_ == pending_.size()
                          ? maxBytes
                          : std::min<qint64>(maxBytes, pending_.size() - pendingPos_);
  MakeRoom(out, take);
  if (pendingPos_ == pending_.size()) return source_.Receive(out, maxBytes);
  out->append(pending_.constData() + pendingPos_, take);
  pendingPos_ += take;
  scannedPos_ = std::max(scannedPos_, pendingPos_);
  return ReadResult::kData;
}

bool AddHeaderLine(const QByteArray& line, QList<HttpField>* fields) {
  if (!line.isEmpty() && IsBlank(line[0])) {
    if (fields->isEmpty()) return false;
    // Appended in place: copying the whole value for each continuation would take quadratic
    // time over a long run of them.
    QByteArray& value = fields->back().value;
    const QByteArray more = TrimBlanks(line);
    if (more.isEmpty()) return true;
    if (!value.isEmpty()) value += ' ';
    value += more;
    return true;
  }
  const qsizetype colon = line.indexOf(':');
  if (colon <= 0) return false;
  const QByteArray name = line.left(colon);
  if (name.contains(' ') || name.contains('\t')) return false;
  fields->append({name.toLower(), TrimBlanks(line.mid(colon + 1))});
  return true;
}

std::optional<ResponseFraming> DecideFraming(const QList<HttpField>& fields, qint64 maxLength) {
  QByteArray codings;
  bool hasTransferEncoding = false;
  std::optional<qint64> length;
  bool hasLength = false;
  for (const HttpField& field : fields) {
    if (field.name == kTransferEncoding) {
      codings += (hasTransferEncoding ? "," : "") + field.value;
      hasTransferEncoding = true;
    } else if (field.name == kContentLength) {
      const std::optional<qint64> value = ParseContentLength(field.value, maxLength);
      if (!value || (hasLength && value != length)) return std::nullopt;
      length = value;
      hasLength = true;
    }
  }
  if (hasTransferEncoding) {
    if (TrimBlanks(codings).toLower() != kChunked) return std::nullopt;
    return ResponseFraming{BodyFraming::kChunked, 0};
  }
  if (hasLength) return ResponseFraming{BodyFraming::kLength, *length};
  return ResponseFraming{BodyFraming::kUntilClose, 0};
}

std::optional<qint64> ParseChunkSize(const QByteArray& line, qint64 maxSize) {
  qsizetype used = 0;
  const std::optional<qint64> size = ParseUnsigned(line, kHexBase, maxSize, &used);
  if (!size) return std::nullopt;
  qsizetype i = used;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i < line.size() && line[i] != kChunkExtensionStart) return std::nullopt;
  return size;
}

std::optional<ResponseFraming> ReadResponseHead(ResponseReader& reader, qint64 maxBodyBytes) {
  BlockAllowance allowance;
  QByteArray status;
  if (!ReadBlockLine(reader, &status, &allowance) || status != kStatusOk) return std::nullopt;
  QList<HttpField> fields;
  if (!ReadFieldBlock(reader, allowance, &fields)) return std::nullopt;
  return DecideFraming(fields, maxBodyBytes);
}

std::optional<QByteArray> ReadBody(ResponseReader& reader, const ResponseFraming& framing,
                                   qint64 maxBodyBytes, TransferProgress* progress) {
  switch (framing.framing) {
    case BodyFraming::kChunked:
      return ReadChunked(reader, maxBodyBytes, progress);
    case BodyFraming::kLength: {
      if (framing.length > maxBodyBytes) return std::nullopt;
      if (progress != nullptr) progress->SetTotal(framing.length);
      QByteArray body;
      body.reserve(framing.length);
      if (!ReadExactly(reader, framing.length, &body, progress)) return std::nullopt;
      return body;
    }
    case BodyFraming::kUntilClose:
      return ReadUntilClose(reader, maxBodyBytes);
  }
  return std::nullopt;
}

}  // namespace update
