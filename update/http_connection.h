#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtGlobal>

#include "update/http_get.h"
#include "update/http_response.h"

namespace update {

// The time limits of one transfer, apart from any clock so that they can be driven with chosen
// times: the transfer is over once options.deadlineMs have passed since it began, or when fewer
// than options.minWindowBytes bytes arrived in a window of options.windowMs. Windows follow one
// another from the start on; each begins with no bytes counted.
class TransferLimits {
 public:
  explicit TransferLimits(const HttpGetOptions& options);

  // Counts `bytes` that arrived into the current window.
  void Count(qint64 bytes) { windowBytes_ += bytes; }
  // True when a limit has been passed `nowMs` after the start. Ends the current window when it
  // has run its time (the next one begins at `nowMs`), so it is to be asked at least once per
  // wait that WaitMs allows.
  bool Passed(qint64 nowMs);
  // How long a wait starting `nowMs` after the start may block: at most `sliceMs`, cut short by
  // the deadline or the current window's end, and at least 1.
  int WaitMs(qint64 nowMs, int sliceMs) const;

 private:
  const qint64 deadlineMs_;
  const qint64 windowMs_;
  const qint64 minWindowBytes_;
  qint64 windowStartMs_ = 0;
  qint64 windowBytes_ = 0;
};

// One client connection of HttpGet and the limits on its time. No wait blocks for longer than
// kPollSliceMs: between waits the connection asks the progress display whether the user has
// cancelled (which lets a window handle its events) and checks the TransferLimits of `options`,
// counted from construction. The connection is aborted (closed without waiting) when the object
// is destroyed. Needs a QCoreApplication.
class HttpConnection : public HttpByteSource {
 public:
  static constexpr int kPollSliceMs = 50;

  // `options.progress` (may be null) must outlive the connection.
  explicit HttpConnection(const HttpGetOptions& options);
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  ~HttpConnection() override;

  // Looks `host` up by name and connects to it on options.port, with TCP no-delay. False when
  // the name cannot be resolved, no connection is made within options.connectTimeoutMs, or the
  // transfer is cancelled meanwhile.
  bool Connect(const QByteArray& host);

  // Writes all of `bytes`. False when the connection fails, a limit is passed or the transfer
  // is cancelled.
  bool Send(const QByteArray& bytes);

  // See HttpByteSource. A reset connection counts as closed.
  ReadResult Receive(QByteArray* out, qint64 maxBytes) override;

 private:
  // True when the user has cancelled or a time limit has passed; stays true from then on.
  bool Stopped();
  // How long the next wait may block: a slice, cut short by the deadline or the window's end.
  int NextWaitMs() const;
  bool ConnectTo(const QHostAddress& address, qint64 connectEndMs);

  const HttpGetOptions options_;
  QTcpSocket socket_;
  QElapsedTimer clock_;
  TransferLimits limits_;
  bool stopped_ = false;
};

}  // namespace update
