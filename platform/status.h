#pragma once

#include <string>
#include <utility>

// The outcome of an operation that can fail: success, a failure carrying the exact text to show
// the user, or an operation the user cancelled, which has nothing to show. Callers test ok() and
// pass message() on; they never compare texts.
class Status {
 public:
  // Success.
  Status() = default;
  // A failure described by `message`, which must not be empty.
  static Status Error(std::string message) { return Status(std::move(message)); }
  // Stopped at the user's request: not ok(), with an empty message().
  static Status Cancelled() {
    Status status;
    status.cancelled_ = true;
    return status;
  }

  bool ok() const { return message_.empty() && !cancelled_; }
  bool cancelled() const { return cancelled_; }
  // The failure's text; "" on success and when cancelled.
  const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message) : message_(std::move(message)) {}

  std::string message_;
  bool cancelled_ = false;
};
