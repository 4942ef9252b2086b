#include "tests/update/rename_fault.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

namespace {

std::mutex mutex;
std::string failOnto;
int failuresLeft = 0;
int failed = 0;

}  // namespace

void FailRenamesOnto(const std::string& target, int count) {
  const std::lock_guard<std::mutex> lock(mutex);
  failOnto = target;
  failuresLeft = count;
  failed = 0;
}

int FailedRenames() {
  const std::lock_guard<std::mutex> lock(mutex);
  return failed;
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) {
  {
    const std::lock_guard<std::mutex> lock(mutex);
    if (failuresLeft > 0 && failOnto == to) {
      --failuresLeft;
      ++failed;
      errno = EMFILE;
      return -1;
    }
  }
  return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}
