#pragma once

#include <QCoreApplication>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <string>

// What the commands that talk to a server share.

// A TCP port from 1 to 65535 written in decimal, or nullopt.
std::optional<quint16> ParsePort(const std::string& text);

// The socket layer needs an application object; the tool's other commands do not, so the
// network commands make one for as long as this lives (unless one exists already).
class NetworkApplication {
 public:
  NetworkApplication();
  NetworkApplication(const NetworkApplication&) = delete;
  NetworkApplication& operator=(const NetworkApplication&) = delete;

 private:
  std::unique_ptr<QCoreApplication> app_;
};
