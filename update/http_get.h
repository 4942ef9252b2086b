#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace update {

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
  // True once the user has asked to stop the transfer. Asked before every read and at least
  // every 50 ms while the transfer waits, in every phase from the connect on (the display may
  // not be open yet); a display with a Cancel button handles pending GUI events here, so that
  // the button works while the server is silent.
  virtual bool Cancelled() = 0;
  virtual void Close() = 0;
};

// How HttpGet reaches the server and when it gives up. The program uses the defaults, with a
// shorter deadline for the version list; tests and the command-line tool inject a port and
// shorter limits.
struct HttpGetOptions {
  quint16 port = 80;
  int connectTimeoutMs = 5000;  // name lookup and connect together
  // A transfer that receives fewer than minWindowBytes in any window of windowMs fails, so a
  // server that trickles bytes is given up on as surely as a silent one.
  int windowMs = 30000;
  qint64 minWindowBytes = 1024;
  qint64 deadlineMs = qint64(30) * 60 * 1000;  // the whole transfer, connect included
  qint64 maxBodyBytes = qint64(256) << 20;
  TransferProgress* progress = nullptr;  // shown once connected; none when null
};

// Fetches `url` ("[http://]host[/path]") with one HTTP/1.1 GET and returns the complete body.
// Every failure (unreachable host, a status other than "HTTP/1.1 200 OK", a body shorter than
// announced, a header block or line beyond its limit, a passed time limit, cancellation, too
// large a body) gives an empty result and no message; so does a body that is empty. Blocks the
// calling thread, but never for longer than 50 ms without asking `options.progress` whether to
// go on; the progress, when set, is opened with "read : " + `url` once connected and closed
// before returning. Memory held besides the body stays under 1 MiB however the server frames
// it. Needs a QCoreApplication.
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

}  // namespace update
