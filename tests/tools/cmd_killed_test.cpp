// kestrolan-db ended by a signal while its output file is open: no partial output may stay.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/cmd_csv_support.h"

namespace {

namespace fs = std::filesystem;

// Long enough for any machine to start the tool; the test normally waits a few milliseconds.
constexpr auto kStartTimeout = std::chrono::seconds(20);

struct SignalCase {
  const char* fault;
  int signal;
};

// Test names show the fault a case would catch.
void PrintTo(const SignalCase& c, std::ostream* os) { *os << c.fault; }

class KilledToolTest : public testing::TestWithParam<SignalCase> {};

// `unpack` opens its output before the archive; an archive that is a named pipe with no writer
// holds it there, its partial output open, until the signal comes.
TEST_P(KilledToolTest, LeavesNoPartialOutput) {
  const SignalCase& c = GetParam();
  ToolFolder folder;
  const fs::path archive = folder.path() / "radar.lzw";
  const fs::path output = folder.path() / "out.db";
  ASSERT_EQ(::mkfifo(archive.c_str(), 0600), 0);
  WriteFileBytes(output, "keep me");
  const pid_t tool = ::fork();
  if (tool == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::execl(KESTROLAN_DB, KESTROLAN_DB, "unpack", archive.c_str(), "-o", output.c_str(), nullptr);
    ::_exit(127);
  }
  // The pipe opens for writing once the tool reads it, its output open by then.
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  int writer = -1;
  while ((writer = ::open(archive.c_str(), O_WRONLY | O_NONBLOCK)) < 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(tool, c.signal);
  int status = 0;
  ::waitpid(tool, &status, 0);
  if (writer >= 0) ::close(writer);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.fault;
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"out.db", "radar.lzw"})) << c.fault;
  EXPECT_EQ(ReadFileBytes(output), "keep me") << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Signals, KilledToolTest,
                         testing::Values(SignalCase{"kill leaving .out.db.partial", SIGTERM},
                                         SignalCase{"Ctrl+C leaving .out.db.partial", SIGINT},
                                         SignalCase{"a closed terminal leaving it", SIGHUP},
                                         SignalCase{"Ctrl+\\ leaving it", SIGQUIT},
                                         SignalCase{"SIGKILL finding a named file", SIGKILL}));

}  // namespace
