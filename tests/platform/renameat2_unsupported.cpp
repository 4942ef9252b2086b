// Linked into a second run of the platform tests: renameat2 reports that the file system does not
// support it, as older kernels and some network file systems do, so every move takes the
// fallback path. The run fails unless the fallback was really taken.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> refused{0};

class FallbackTaken : public testing::Environment {
 public:
  void TearDown() override { EXPECT_GT(refused.load(), 0) << "renameat2 was never called"; }
};

const testing::Environment* const kFallbackTaken =
    testing::AddGlobalTestEnvironment(new FallbackTaken);

}  // namespace

extern "C" int renameat2(int, const char*, int, const char*, unsigned int) {
  ++refused;
  errno = EINVAL;
  return -1;
}
