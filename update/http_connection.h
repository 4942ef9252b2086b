#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtGlobal>

#include "update/http_get.h"
#include "update/http_response.h"

namespace update {

// One client connection of HttpGet and the limits on its time. No wait blocks for longer than
// kPollSliceMs: between waits the connection asks the progress display whether the user has
// cancelled (which lets a window handle its events) and checks the limits of `options`:
// the transfer fails once options.deadlineMs have passed since construction, or when fewer than
// options.minWindowBytes bytes arrived in a window of options.windowMs (windows follow one
// another from construction on). The connection is aborted (closed without waiting) when the
// object is destroyed. Needs a QCoreApplication.
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
  qint64 windowStartMs_ = 0;
  qint64 windowBytes_ = 0;
  bool stopped_ = false;
};

}  // namespace update
