#pragma once

#include <QByteArray>
#include <QtGlobal>

class TransferProgress;

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
