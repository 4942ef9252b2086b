// Linked into the run of the platform tests that plays an older system: renameat2 reports that
// the file system does not support it, and opening a nameless file fails, as on older kernels and
// some network file systems. So every move takes MoveFile's fallback and every output a named
// temporary file. The run fails unless both paths were really taken.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>

namespace {

std::atomic<int> refusedRenames{0};
std::atomic<int> refusedNamelessFiles{0};

class FallbacksTaken : public testing::Environment {
 public:
  void TearDown() override {
    EXPECT_GT(refusedRenames.load(), 0) << "renameat2 was never called";
    EXPECT_GT(refusedNamelessFiles.load(), 0) << "no nameless file was asked for";
  }
};

const testing::Environment* const kFallbacksTaken =
    testing::AddGlobalTestEnvironment(new FallbacksTaken);

}  // namespace

extern "C" int renameat2(int, const char*, int, const char*, unsigned int) {
  ++refusedRenames;
  errno = EINVAL;
  return -1;
}

extern "C" int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
    va_list arguments;
    va_start(arguments, flags);
    mode = va_arg(arguments, mode_t);
    va_end(arguments);
  }
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    ++refusedNamelessFiles;
    errno = EOPNOTSUPP;
    return -1;
  }
  using Open = int (*)(const char*, int, ...);
  static const auto real = reinterpret_cast<Open>(::dlsym(RTLD_NEXT, "open"));
  return real(path, flags, mode);
}
