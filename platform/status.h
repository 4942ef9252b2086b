#pragma once

#include <new>
#include <string>
#include <utility>

namespace platform {

// What kind of outcome a Status is, for callers that act on it: the window decides what to keep
// after a failed load, the tool picks its exit status. The text shown to the user is separate.
enum class StatusCode {
  kOk,
  kCancelled,        // the user stopped it; nothing to show
  kNotFound,         // an input that does not exist
  kBadFormat,        // an input that is not what it claims to be, or is damaged
  kReadError,        // an input that could not be read
  kWriteError,       // an output that could not be made or written
  kNoSpace,          // an output that does not fit where it goes
  kOutOfMemory,      // memory ran out
  kInvalidArgument,  // a request that cannot be carried out as given
};

// The text of every out-of-memory failure.
inline constexpr char kOutOfMemory[] = "Out of memory";

// The outcome of an operation that can fail: success, a failure of some kind carrying the exact
// text to show the user, or an operation the user cancelled, which has nothing to show. Callers
// branch on ok() or code() and pass message() on; they never compare texts.
class Status {
 public:
  // Success.
  Status() = default;
  // A failure of kind `code` (not kOk or kCancelled) described by `message`, which must not be
  // empty.
  static Status Error(StatusCode code, std::string message) {
    return Status(code, std::move(message));
  }
  static Status NotFound(std::string message) {
    return Error(StatusCode::kNotFound, std::move(message));
  }
  static Status BadFormat(std::string message) {
    return Error(StatusCode::kBadFormat, std::move(message));
  }
  static Status ReadError(std::string message) {
    return Error(StatusCode::kReadError, std::move(message));
  }
  static Status WriteError(std::string message) {
    return Error(StatusCode::kWriteError, std::move(message));
  }
  static Status NoSpace(std::string message) {
    return Error(StatusCode::kNoSpace, std::move(message));
  }
  static Status InvalidArgument(std::string message) {
    return Error(StatusCode::kInvalidArgument, std::move(message));
  }
  // "Out of memory".
  static Status OutOfMemory() { return Error(StatusCode::kOutOfMemory, kOutOfMemory); }
  // Stopped at the user's request: not ok(), with an empty message().
  static Status Cancelled() { return Status(StatusCode::kCancelled, {}); }

  bool ok() const { return code_ == StatusCode::kOk; }
  bool cancelled() const { return code_ == StatusCode::kCancelled; }
  StatusCode code() const { return code_; }
  // The failure's text; "" on success and when cancelled.
  const std::string& message() const { return message_; }

 private:
  Status(StatusCode code, std::string message) : code_(code), message_(std::move(message)) {}

  StatusCode code_ = StatusCode::kOk;
  std::string message_;
};

// Runs `work`, which returns a Status, and turns running out of memory inside it into
// Status::OutOfMemory(). Whatever `work` allocated is released by its own destructors first.
template <typename Work>
Status GuardMemory(Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory();
  }
}

}  // namespace platform
