#include "update/http_connection.h"

#include <QDeadlineTimer>
#include <algorithm>

#include "update/http_get.h"

namespace {

// How often a wait looks at the cancel state of the progress display.
constexpr int kPollSliceMs = 50;

}  // namespace

HttpConnection::HttpConnection(TransferProgress* progress, int readTimeoutMs)
    : progress_(progress), readTimeoutMs_(readTimeoutMs) {}

HttpConnection::~HttpConnection() { socket_.abort(); }

bool HttpConnection::Connect(const QByteArray& host, quint16 port, int timeoutMs) {
  socket_.connectToHost(QString::fromLatin1(host), port);
  if (!socket_.waitForConnected(timeoutMs)) return false;
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  return true;
}

bool HttpConnection::Send(const QByteArray& bytes) {
  if (socket_.write(bytes) != bytes.size()) return false;
  QDeadlineTimer deadline(readTimeoutMs_);
  while (socket_.bytesToWrite() > 0) {
    if (progress_ != nullptr && progress_->Cancelled()) return false;
    if (deadline.hasExpired()) return false;
    const int slice = static_cast<int>(std::min<qint64>(kPollSliceMs, deadline.remainingTime()));
    if (!socket_.waitForBytesWritten(slice) &&
        socket_.error() != QAbstractSocket::SocketTimeoutError) {
      return false;
    }
  }
  return true;
}

HttpConnection::ReadResult HttpConnection::WaitForBytes() {
  QDeadlineTimer deadline(readTimeoutMs_);
  for (;;) {
    if (progress_ != nullptr && progress_->Cancelled()) return ReadResult::kFailed;
    if (socket_.bytesAvailable() > 0) return ReadResult::kData;
    if (socket_.state() != QAbstractSocket::ConnectedState) {
      // The socket layer reports a reset like an orderly close; any other error is a failure.
      return socket_.error() == QAbstractSocket::RemoteHostClosedError ? ReadResult::kEnd
                                                                       : ReadResult::kFailed;
    }
    if (deadline.hasExpired()) return ReadResult::kFailed;
    const int slice = static_cast<int>(std::min<qint64>(kPollSliceMs, deadline.remainingTime()));
    // A false result is a time-out slice or the end of the connection; the checks above
    // tell them apart on the next round.
    socket_.waitForReadyRead(slice);
  }
}

void HttpConnection::FillPending() {
  // Drop consumed bytes once they make up most of the buffer, so each byte is moved O(1) times.
  if (pendingPos_ > 0 && pendingPos_ >= pending_.size() / 2) {
    pending_.remove(0, pendingPos_);
    scannedPos_ -= pendingPos_;
    pendingPos_ = 0;
  }
  pending_.append(socket_.readAll());
}

bool HttpConnection::ReadLine(QByteArray* line) {
  for (;;) {
    const qsizetype lineFeed = pending_.indexOf('\n', scannedPos_);
    if (lineFeed >= 0) {
      const qsizetype length = lineFeed - pendingPos_;
      const bool endsInCrLf = length > 0 && pending_[lineFeed - 1] == '\r';
      if (!endsInCrLf || length - 1 > kMaxLineBytes) return false;
      *line = pending_.mid(pendingPos_, length - 1);
      pendingPos_ = lineFeed + 1;
      scannedPos_ = pendingPos_;
      return true;
    }
    scannedPos_ = pending_.size();
    // One byte more than the longest line is allowed for its CR.
    if (pending_.size() - pendingPos_ > kMaxLineBytes + 1) return false;
    if (WaitForBytes() != ReadResult::kData) return false;
    FillPending();
  }
}

HttpConnection::ReadResult HttpConnection::ReadSome(QByteArray* out, qint64 maxBytes) {
  if (pendingPos_ < pending_.size()) {
    const qint64 take = std::min<qint64>(maxBytes, pending_.size() - pendingPos_);
    out->append(pending_.constData() + pendingPos_, take);
    pendingPos_ += take;
    scannedPos_ = std::max(scannedPos_, pendingPos_);
    return ReadResult::kData;
  }
  const ReadResult waited = WaitForBytes();
  if (waited != ReadResult::kData) return waited;
  const qint64 take = std::min(maxBytes, socket_.bytesAvailable());
  const qsizetype oldSize = out->size();
  out->resize(oldSize + take);
  const qint64 got = socket_.read(out->data() + oldSize, take);
  out->resize(oldSize + std::max<qint64>(got, 0));
  return got > 0 ? ReadResult::kData : ReadResult::kFailed;
}
