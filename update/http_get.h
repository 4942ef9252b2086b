#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A minimal blocking HTTP/1.1 client: one GET per call, one connection, the body returned whole.

// The progress display of a transfer. The window uses a dialog; tests and the command-line tool
// use none (a null pointer) or a recording one.
class TransferProgress {
 public:
  virtual ~TransferProgress() = default;

  // Shows the display with `text`, `widthPx` wide, without blocking; total and position are 0.
  virtual void Open(const QString& text, int widthPx) = 0;
  virtual void SetTotal(qint64 total) = 0;
  // Updates the position; may process pending GUI events.
  virtual void SetPos(qint64 pos) = 0;
  // True once the user has asked to stop the transfer.
  virtual bool Cancelled() = 0;
  virtual void Close() = 0;
};

// How HttpGet reaches the server. The program always uses the defaults; tests and the
// command-line tool inject a port and shorter time-outs.
struct HttpGetOptions {
  quint16 port = 80;
  int connectTimeoutMs = 5000;
  int readTimeoutMs = 30000;  // no bytes for this long: the transfer fails
  qint64 maxBodyBytes = qint64(256) << 20;
  TransferProgress* progress = nullptr;  // shown once connected; none when null
};

// Fetches `url` ("[http://]host[/path]") with one HTTP/1.1 GET and returns the complete body.
// Every failure (unreachable host, a status other than "HTTP/1.1 200 OK", a body shorter than
// announced, a time-out, cancellation, too large a body) gives an empty result and no message;
// so does a body that is empty. Blocks the calling thread; `options.progress`, when set, is
// opened with "read : " + `url` once connected and closed before returning. Needs a
// QCoreApplication.
QByteArray HttpGet(const QByteArray& url, const HttpGetOptions& options = {});

// `text` with every byte that occurs in `set` replaced by "%" and its two upper-case hex digits.
QByteArray PercentEscape(const QByteArray& text, const QByteArray& set);

// Where one GET goes: the host name as it is looked up and sent in "Host: ", and the path
// sent in the request line (empty when the URL names none).
struct HttpTarget {
  QByteArray host;
  QByteArray path;
};

// Splits "[http://]host[/path]": the scheme is recognised in any letter case and dropped (any
// other scheme stays part of the host), blanks and tabs are escaped as %20 and %09, the host
// runs up to the first "/" and the path from it to the end. A ":port" suffix stays part of the
// host; nothing else is decoded or checked.
HttpTarget SplitHttpUrl(const QByteArray& url);

// The complete request for `target`: the request line and a single "Host: " line, each ended
// by CR LF, and the empty line that ends the request.
QByteArray HttpRequestBytes(const HttpTarget& target);
