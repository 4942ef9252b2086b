#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can fail: success, or a failure carrying the exact text to
// show the user. Callers test ok() and pass message() on; they never compare texts.
class Status {
 public:
  // Success.
  Status() = default;
  // A failure described by `message`, which must not be empty.
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return message_.empty(); }
  // The failure's text; "" on success.
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : message_(std::move(message)) {}

  std::string message_;
};
