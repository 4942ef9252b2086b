#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Debian's nginx as a test web server: serves the files of its own temporary document root on
// 127.0.0.1, on a free port picked by binding port 0, with a private configuration (no system
// files are read or written). Construction starts it and waits until it accepts connections;
// the destructor stops it and removes its folder, on every path.
class NginxServer {
 public:
  NginxServer();
  ~NginxServer();
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  // False when nginx could not be started; `error()` then says why.
  bool running() const { return port_ != 0; }
  const QString& error() const { return error_; }
  quint16 port() const { return port_; }

  // Writes `content` to the document root at `relativePath` ("software/list.txt"), creating
  // folders; returns false when that fails.
  bool Put(const QString& relativePath, const QByteArray& content);
  // Removes the file at `relativePath` from the document root, so requests for it get 404.
  void Remove(const QString& relativePath);

 private:
  bool StartOn(quint16 port);
  void Stop();

  QTemporaryDir dir_;
  QProcess process_;
  quint16 port_ = 0;
  QString error_;
};
