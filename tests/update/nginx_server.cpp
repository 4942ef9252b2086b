#include "tests/update/nginx_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr char kNginx[] = "/usr/sbin/nginx";
// A port picked by binding port 0 may be taken by another test before nginx binds it.
constexpr int kStartAttempts = 3;
constexpr int kStartWaitMs = 5000;
constexpr int kPollMs = 20;
constexpr int kStopWaitMs = 5000;

quint16 FreeLoopbackPort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

QByteArray Config(const QString& dir, quint16 port) {
  const QByteArray d = QFile::encodeName(dir);
  // One process, no workers: it runs as the calling user and reads the private root directly.
  return "daemon off;\nmaster_process off;\npid " + d + "/nginx.pid;\nerror_log stderr;\n" +
         "events {}\nhttp {\n  access_log off;\n" + "  client_body_temp_path " + d +
         "/client_body;\n  proxy_temp_path " + d + "/proxy;\n  fastcgi_temp_path " + d +
         "/fastcgi;\n  uwsgi_temp_path " + d + "/uwsgi;\n  scgi_temp_path " + d + "/scgi;\n" +
         "  server {\n    listen 127.0.0.1:" + QByteArray::number(port) + ";\n    root " + d +
         "/root;\n  }\n}\n";
}

bool Accepts(quint16 port) {
  QTcpSocket socket;
  socket.connectToHost(QHostAddress::LocalHost, port);
  return socket.waitForConnected(kPollMs);
}

}  // namespace

NginxServer::NginxServer() {
  if (!dir_.isValid() || !QDir(dir_.path()).mkpath("root")) {
    error_ = "cannot create the server folder";
    return;
  }
  for (int attempt = 0; attempt < kStartAttempts && port_ == 0; ++attempt) {
    const quint16 port = FreeLoopbackPort();
    if (port != 0 && StartOn(port)) port_ = port;
  }
}

NginxServer::~NginxServer() { Stop(); }

bool NginxServer::StartOn(quint16 port) {
  QFile config(dir_.filePath("nginx.conf"));
  if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      config.write(Config(dir_.path(), port)) < 0) {
    error_ = "cannot write nginx.conf";
    return false;
  }
  config.close();
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.start(kNginx, {"-e", "stderr", "-c", config.fileName(), "-p", dir_.path()});
  if (!process_.waitForStarted()) {
    error_ = "cannot start " + QString(kNginx) + ": " + process_.errorString();
    return false;
  }
  for (int waited = 0; waited < kStartWaitMs; waited += kPollMs) {
    if (Accepts(port)) return true;
    if (process_.state() == QProcess::NotRunning) break;
    QThread::msleep(kPollMs);
  }
  Stop();
  error_ = "nginx did not start: " + QString::fromLocal8Bit(process_.readAll());
  return false;
}

void NginxServer::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(kStopWaitMs)) {
    process_.kill();
    process_.waitForFinished(kStopWaitMs);
  }
}

bool NginxServer::Put(const QString& relativePath, const QByteArray& content) {
  const QString path = dir_.filePath("root/" + relativePath);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(content) == content.size();
}

void NginxServer::Remove(const QString& relativePath) {
  QFile::remove(dir_.filePath("root/" + relativePath));
}
