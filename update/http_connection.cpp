#include "update/http_connection.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace update {

namespace {

// The socket layer stops taking bytes from the system beyond this until they are read, so a
// fast server cannot fill memory while the client is busy.
constexpr qint64 kSocketBufferBytes = 64 * 1024;

// A name lookup on a thread of its own: the system resolver may block for many seconds and
// cannot be interrupted, so the caller polls instead and may give up; a lookup given up on
// finishes alone and is then dropped.
class NameLookup {
 public:
  explicit NameLookup(const QString& host) : state_(std::make_shared<State>()) {
    std::thread([state = state_, host] {
      QHostInfo info = QHostInfo::fromName(host);
      const std::lock_guard<std::mutex> lock(state->mutex);
      state->info = std::move(info);
      state->done = true;
      state->changed.notify_all();
    }).detach();
  }

  // Waits up to `ms` for the result; nullopt while the lookup is still running.
  std::optional<QHostInfo> Wait(int ms) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return state_->done; });
    if (!state_->done) return std::nullopt;
    return state_->info;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    QHostInfo info;
  };
  std::shared_ptr<State> state_;
};

}  // namespace

TransferLimits::TransferLimits(const HttpGetOptions& options)
    : deadlineMs_(options.deadlineMs),
      windowMs_(options.windowMs),
      minWindowBytes_(options.minWindowBytes) {}

bool TransferLimits::Passed(qint64 nowMs) {
  if (nowMs >= deadlineMs_) return true;
  if (nowMs - windowStartMs_ < windowMs_) return false;
  const bool tooFew = windowBytes_ < minWindowBytes_;
  windowStartMs_ = nowMs;
  windowBytes_ = 0;
  return tooFew;
}

int TransferLimits::WaitMs(qint64 nowMs, int sliceMs) const {
  const qint64 wait =
      std::min({qint64{sliceMs}, deadlineMs_ - nowMs, windowStartMs_ + windowMs_ - nowMs});
  return static_cast<int>(std::max<qint64>(wait, 1));
}

HttpConnection::HttpConnection(const HttpGetOptions& options)
    : options_(options), limits_(options) {
  clock_.start();
}

HttpConnection::~HttpConnection() { socket_.abort(); }

bool HttpConnection::Stopped() {
  if (!stopped_) {
    stopped_ = (options_.progress != nullptr && options_.progress->Cancelled()) ||
               limits_.Passed(clock_.elapsed());
  }
  return stopped_;
}

int HttpConnection::NextWaitMs() const { return limits_.WaitMs(clock_.elapsed(), kPollSliceMs); }

bool HttpConnection::Connect(const QByteArray& host) {
  const qint64 connectEndMs = clock_.elapsed() + options_.connectTimeoutMs;
  NameLookup lookup(QString::fromLatin1(host));
  std::optional<QHostInfo> found;
  while (!found) {
    if (Stopped() || clock_.elapsed() >= connectEndMs) return false;
    found = lookup.Wait(NextWaitMs());
  }
  // Each address in turn, as the resolver ordered them (a name may have an IPv6 address that
  // refuses and an IPv4 one that answers).
  for (const QHostAddress& address : found->addresses()) {
    if (ConnectTo(address, connectEndMs)) {
      socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
      socket_.setReadBufferSize(kSocketBufferBytes);
      return true;
    }
    if (stopped_) return false;
  }
  return false;
}

bool HttpConnection::ConnectTo(const QHostAddress& address, qint64 connectEndMs) {
  socket_.abort();
  socket_.connectToHost(address, options_.port);
  // The socket layer's own wait abandons the attempt when it times out, so it cannot wait in
  // slices; a local event loop, woken every slice, can. It takes no user input.
  QEventLoop loop;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (Stopped() || clock_.elapsed() >= connectEndMs) loop.quit();
  });
  QObject::connect(&socket_, &QAbstractSocket::stateChanged, &loop,
                   [&](QAbstractSocket::SocketState state) {
                     if (state == QAbstractSocket::ConnectedState ||
                         state == QAbstractSocket::UnconnectedState) {
                       loop.quit();
                     }
                   });
  tick.start(kPollSliceMs);
  if (socket_.state() == QAbstractSocket::ConnectingState) {
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  return socket_.state() == QAbstractSocket::ConnectedState;
}

bool HttpConnection::Send(const QByteArray& bytes) {
  if (socket_.write(bytes) != bytes.size()) return false;
  while (socket_.bytesToWrite() > 0) {
    if (Stopped()) return false;
    if (!socket_.waitForBytesWritten(NextWaitMs()) &&
        socket_.error() != QAbstractSocket::SocketTimeoutError) {
      return false;
    }
  }
  return true;
}

HttpByteSource::ReadResult HttpConnection::Receive(QByteArray* out, qint64 maxBytes) {
  for (;;) {
    if (Stopped()) return ReadResult::kFailed;
    if (socket_.bytesAvailable() > 0) break;
    if (socket_.state() != QAbstractSocket::ConnectedState) {
      // The socket layer reports a reset like an orderly close; any other error is a failure.
      return socket_.error() == QAbstractSocket::RemoteHostClosedError ? ReadResult::kEnd
                                                                       : ReadResult::kFailed;
    }
    // A false result is a slice that ended or the end of the connection; the checks above tell
    // them apart on the next round.
    socket_.waitForReadyRead(NextWaitMs());
  }
  const qint64 take = std::min(maxBytes, socket_.bytesAvailable());
  const qsizetype oldSize = out->size();
  out->resize(oldSize + take);
  const qint64 got = socket_.read(out->data() + oldSize, take);
  out->resize(oldSize + std::max<qint64>(got, 0));
  if (got <= 0) return ReadResult::kFailed;
  limits_.Count(got);
  return ReadResult::kData;
}

}  // namespace update
