#pragma once

#include <QByteArray>
#include <QTcpSocket>
#include <QtGlobal>

class TransferProgress;

// One client connection of HttpGet with the buffered reading the response needs. Every wait
// for bytes ends with a failure when no byte arrives for the read time-out or when `progress`
// (may be null; must outlive the connection) reports cancellation. The connection is aborted
// (closed without waiting) when the object is destroyed. Needs a QCoreApplication.
class HttpConnection {
 public:
  // Lines longer than this (without their CR LF) end the transfer as a failure.
  static constexpr qint64 kMaxLineBytes = 1000000;

  enum class ReadResult { kData, kEnd, kFailed };

  HttpConnection(TransferProgress* progress, int readTimeoutMs);
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;
  ~HttpConnection();

  // Looks `host` up by name and connects to it on `port`, with TCP no-delay. False when the
  // name cannot be resolved or no connection is made within `timeoutMs`.
  bool Connect(const QByteArray& host, quint16 port, int timeoutMs);

  // Writes all of `bytes`. False when the connection fails or stalls.
  bool Send(const QByteArray& bytes);

  // Reads the next line, which must end in CR LF, into *line without its CR LF. False at the
  // end of the stream, for a line ended by a bare LF or longer than kMaxLineBytes, on a
  // time-out or on cancellation.
  bool ReadLine(QByteArray* line);

  // Appends between 1 and `maxBytes` bytes to *out (kData), or reports that the server has
  // closed the connection and every byte has been read (kEnd), or a time-out or cancellation
  // (kFailed). A reset connection counts as closed.
  ReadResult ReadSome(QByteArray* out, qint64 maxBytes);

 private:
  // Waits until the socket holds unread bytes (kData), the server has closed (kEnd), or the
  // time-out or cancellation ends the wait (kFailed).
  ReadResult WaitForBytes();
  // Moves what the socket holds into the line buffer.
  void FillPending();

  TransferProgress* progress_;
  int readTimeoutMs_;
  QTcpSocket socket_;
  // Bytes read from the socket and not yet consumed start at pendingPos_.
  QByteArray pending_;
  qsizetype pendingPos_ = 0;
  // pending_ holds no line feed before this position.
  qsizetype scannedPos_ = 0;
};
