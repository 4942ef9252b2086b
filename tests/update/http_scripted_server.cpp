#include "tests/update/http_scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// No wait of the server lasts longer than this, so a failing test cannot hang.
constexpr int kWaitLimitMs = 5000;
constexpr int kPollSliceMs = 20;
constexpr char kRequestEnd[] = "\r\n\r\n";

// Owns one file descriptor.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

int BindLoopback(uint16_t* port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) std::abort();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
  socklen_t length = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) std::abort();
  *port = ntohs(address.sin_port);
  return fd;
}

// A client that has already given up makes the send fail; the script goes on regardless.
void SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

}  // namespace

ServerStep Send(std::string bytes) { return {ServerStep::Kind::kSend, std::move(bytes), 0}; }
ServerStep Pause(int ms) { return {ServerStep::Kind::kPause, {}, ms}; }
ServerStep Hold() { return {ServerStep::Kind::kHold, {}, 0}; }
ServerStep Reset() { return {ServerStep::Kind::kReset, {}, 0}; }

uint16_t UnusedLoopbackPort() {
  uint16_t port = 0;
  close(BindLoopback(&port));
  return port;
}

StalledListener::StalledListener() {
  listenFd_ = BindLoopback(&port_);
  // A backlog of 0 holds one connection: the filler's. The kernel drops every later SYN, so a
  // client's connect neither succeeds nor fails until the client gives up.
  if (listen(listenFd_, 0) != 0) std::abort();
  fillerFd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  if (connect(fillerFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    std::abort();
  }
}

StalledListener::~StalledListener() {
  close(fillerFd_);
  close(listenFd_);
}

ScriptedServer::ScriptedServer(std::vector<ServerStep> script)
    : ScriptedServer(std::vector<std::vector<ServerStep>>{std::move(script)}) {}

ScriptedServer::ScriptedServer(std::vector<std::vector<ServerStep>> connections)
    : connections_(std::move(connections)) {
  listenFd_ = BindLoopback(&port_);
  if (listen(listenFd_, 1) != 0) std::abort();
  thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
  stop_ = true;
  JoinServer();
  close(listenFd_);
}

void ScriptedServer::JoinServer() {
  if (thread_.joinable()) thread_.join();
}

std::string ScriptedServer::Request() {
  std::lock_guard<std::mutex> lock(mutex_);
  return request_;
}

bool ScriptedServer::ClientClosedFirst() {
  JoinServer();
  std::lock_guard<std::mutex> lock(mutex_);
  return clientClosedFirst_;
}

bool ScriptedServer::WaitReadable(int fd, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!stop_ && std::chrono::steady_clock::now() < deadline) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, kPollSliceMs) > 0) return true;
  }
  return false;
}

void ScriptedServer::PauseUnlessStopped(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stop_ && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(kPollSliceMs), end - std::chrono::steady_clock::now()));
  }
}

void ScriptedServer::ReadRequest(int fd) {
  std::string received;
  char buffer[4096];
  while (received.find(kRequestEnd) == std::string::npos && WaitReadable(fd, kWaitLimitMs)) {
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    received.append(buffer, static_cast<size_t>(got));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  request_ = received;
}

void ScriptedServer::HoldUntilClientCloses(int fd) {
  char buffer[4096];
  while (WaitReadable(fd, kWaitLimitMs)) {
    if (recv(fd, buffer, sizeof buffer, 0) <= 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      clientClosedFirst_ = true;
      return;
    }
  }
}

void ScriptedServer::Serve() {
  for (const std::vector<ServerStep>& script : connections_) {
    if (!ServeOne(script)) return;
  }
}

bool ScriptedServer::ServeOne(const std::vector<ServerStep>& script) {
  if (!WaitReadable(listenFd_, kWaitLimitMs)) return false;
  Fd client(accept(listenFd_, nullptr, nullptr));
  if (client.get() < 0) return false;
  const int one = 1;
  setsockopt(client.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  ReadRequest(client.get());
  for (const ServerStep& step : script) {
    switch (step.kind) {
      case ServerStep::Kind::kSend:
        SendAll(client.get(), step.bytes);
        break;
      case ServerStep::Kind::kPause:
        PauseUnlessStopped(step.ms);
        break;
      case ServerStep::Kind::kHold:
        HoldUntilClientCloses(client.get());
        return true;
      case ServerStep::Kind::kReset: {
        const linger abortive{1, 0};
        setsockopt(client.get(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        return true;
      }
    }
  }
  return true;
}
