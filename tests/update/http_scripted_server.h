#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One step of what the scripted server does after it has read the request.
struct ServerStep {
  enum class Kind {
    kSend,   // sends `bytes` in one write
    kPause,  // waits `ms` milliseconds
    kHold,   // keeps the connection open until the client closes it
    kReset,  // aborts the connection with a reset
  };
  Kind kind;
  std::string bytes;
  int ms = 0;
};

ServerStep Send(std::string bytes);
ServerStep Pause(int ms);
ServerStep Hold();
ServerStep Reset();

// A loopback HTTP server for one connection, or a few one after another, on a port the system
// picks, that answers with exact bytes split at chosen points. For each connection it reads the
// request (up to its empty line), then runs that connection's script; after the last step it
// closes the connection in the orderly way, unless the script held or reset it. Runs in its own
// thread from construction to destruction; the destructor stops every wait and joins it.
class ScriptedServer {
 public:
  explicit ScriptedServer(std::vector<ServerStep> script);
  // One script per connection, in the order the connections come.
  explicit ScriptedServer(std::vector<std::vector<ServerStep>> connections);
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  ~ScriptedServer();

  uint16_t port() const { return port_; }
  // The last connection's request bytes as received; empty when no client connected.
  std::string Request();
  // True when the client closed the connection while the server was still holding it open,
  // i.e. the client did not wait for the server to close. Waits for the script to end.
  bool ClientClosedFirst();

 private:
  void Serve();
  // Serves one connection with `script`; false when no client came.
  bool ServeOne(const std::vector<ServerStep>& script);
  void JoinServer();
  // Waits up to the step limit for `fd` to be readable; false when stopped or timed out.
  bool WaitReadable(int fd, int timeoutMs);
  void ReadRequest(int fd);
  void HoldUntilClientCloses(int fd);
  // Sleeps `ms` milliseconds, or less when the server is being destroyed.
  void PauseUnlessStopped(int ms);

  std::vector<std::vector<ServerStep>> connections_;
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string request_;
  bool clientClosedFirst_ = false;
  std::thread thread_;
};

// A loopback port on which nothing listens (bound once, then released).
uint16_t UnusedLoopbackPort();

// A loopback port whose listener never accepts and whose queue is full, so that connecting to it
// stalls: the connection is neither made nor refused.
class StalledListener {
 public:
  StalledListener();
  StalledListener(const StalledListener&) = delete;
  StalledListener& operator=(const StalledListener&) = delete;
  ~StalledListener();

  uint16_t port() const { return port_; }

 private:
  int listenFd_ = -1;
  int fillerFd_ = -1;
  uint16_t port_ = 0;
};
