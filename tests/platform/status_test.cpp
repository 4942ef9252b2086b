#include "platform/status.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

using platform::Status;
using platform::StatusCode;

// Faults caught: running out of memory that escapes the guard as an exception, or that comes
// back as some other kind; a failure the work returned replaced by the guard's own.
TEST(StatusTest, GuardMemoryTurnsRunningOutIntoItsKind) {
  std::vector<char> kept;
  const Status full = platform::GuardMemory([&]() -> Status {
    kept.resize(16);
    throw std::bad_alloc();
  });
  EXPECT_EQ(full.code(), StatusCode::kOutOfMemory);
  EXPECT_EQ(full.message(), "Out of memory");
  EXPECT_EQ(kept.size(), 16u);

  const Status passed = platform::GuardMemory([] { return Status::NoSpace("disk full"); });
  EXPECT_EQ(passed.code(), StatusCode::kNoSpace);
  EXPECT_EQ(passed.message(), "disk full");
  EXPECT_TRUE(platform::GuardMemory([] { return Status(); }).ok());
}

// Fault caught: a cancelled Status taken for success, or one that shows a text.
TEST(StatusTest, CancelledIsNeitherSuccessNorAMessage) {
  const Status cancelled = Status::Cancelled();
  EXPECT_FALSE(cancelled.ok());
  EXPECT_TRUE(cancelled.cancelled());
  EXPECT_EQ(cancelled.code(), StatusCode::kCancelled);
  EXPECT_EQ(cancelled.message(), "");
  EXPECT_FALSE(Status::BadFormat("x").cancelled());
}

}  // namespace
