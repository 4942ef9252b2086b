#include "platform/signal_cleanup.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "tests/support/scratch_folder.h"

namespace {

struct EndingSignal {
  const char* name;
  int signal;
};

void PrintTo(const EndingSignal& c, std::ostream* os) { *os << c.name; }

class SignalCleanupTest : public testing::TestWithParam<EndingSignal> {};

// Fault caught: a signal that ends the process without the cleanup running (SIGXFSZ from a
// `ulimit -f`, SIGQUIT, SIGUSR1 and SIGALRM once left ".NAME.partial" behind).
TEST_P(SignalCleanupTest, DeletesRegisteredFilesAndStillEnds) {
  const EndingSignal& c = GetParam();
  ScratchFolder dir;
  const std::string partial = dir / ".out.db.partial";
  WriteFileBytes(partial, "partial");
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    platform::DeleteRegisteredFilesOnSignal();
    platform::RegisterFileForSignal(partial);
    ::raise(c.signal);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.name;
  EXPECT_FALSE(std::filesystem::exists(partial)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalCleanupTest,
    testing::Values(EndingSignal{"SIGXFSZ", SIGXFSZ}, EndingSignal{"SIGQUIT", SIGQUIT},
                    EndingSignal{"SIGUSR1", SIGUSR1}, EndingSignal{"SIGUSR2", SIGUSR2},
                    EndingSignal{"SIGALRM", SIGALRM}, EndingSignal{"SIGPIPE", SIGPIPE},
                    EndingSignal{"SIGTERM", SIGTERM}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
