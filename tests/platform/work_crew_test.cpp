#include "platform/work_crew.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace platform;

namespace {

// Sets KESTROLAN_THREADS to `value` (nullptr: unset) for the life of the object, then unsets it.
class ThreadsSetting {
 public:
  explicit ThreadsSetting(const char* value) { Set(value); }
  ~ThreadsSetting() { Set(nullptr); }
  ThreadsSetting(const ThreadsSetting&) = delete;
  ThreadsSetting& operator=(const ThreadsSetting&) = delete;

 private:
  static void Set(const char* value) {
#ifdef _WIN32
    ::_putenv_s("KESTROLAN_THREADS", value == nullptr ? "" : value);  // "" removes it
#else
    if (value == nullptr) {
      ::unsetenv("KESTROLAN_THREADS");
    } else {
      ::setenv("KESTROLAN_THREADS", value, 1);
    }
#endif
  }
};

struct ThreadsCase {
  const char* fault;
  const char* value;  // KESTROLAN_THREADS, or nullptr for none
  unsigned threads;   // 0: one per core, at most 8
};

void PrintTo(const ThreadsCase& c, std::ostream* os) { *os << c.fault; }

class WorkThreadsTest : public testing::TestWithParam<ThreadsCase> {};

TEST_P(WorkThreadsTest, FollowsTheEnvironment) {
  const ThreadsCase& c = GetParam();
  const unsigned perCore = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkThreads);
  const ThreadsSetting setting(c.value);
  EXPECT_EQ(WorkThreads(), c.threads == 0 ? perCore : c.threads) << c.fault;
}

INSTANTIATE_TEST_SUITE_P(Work, WorkThreadsTest,
                         testing::Values(ThreadsCase{"no setting not one per core", nullptr, 0},
                                         ThreadsCase{"one thread not forced", "1", 1},
                                         ThreadsCase{"a count ignored", "3", 3},
                                         ThreadsCase{"a large count not capped", "99",
                                                     kMaxWorkThreads},
                                         ThreadsCase{"a huge count wrapping around",
                                                     "99999999999999999999", kMaxWorkThreads},
                                         ThreadsCase{"zero threads taken", "0", 0},
                                         ThreadsCase{"a word taken for a count", "two", 0},
                                         ThreadsCase{"trailing letters ignored", "2x", 0},
                                         ThreadsCase{"an empty setting taken for a count", "", 0}));

class SquareJob : public WorkJob {
 public:
  void Run(unsigned thread) override {
    if (input < 0) throw std::runtime_error("negative");
    output = input * input;
    ranOn = thread;
  }
  int input = 0;
  int output = -1;
  unsigned ranOn = 0;
};

// Faults caught: a job lost, run twice or given another's result; a thread number outside the
// crew; a failure that does not reach the owner, or stops the jobs after it.
TEST(WorkCrewTest, RunsEveryJobOnceAndPassesFailuresOn) {
  std::vector<std::unique_ptr<SquareJob>> jobs;
  WorkCrew crew(4);
  for (int i = 0; i < 200; ++i) {
    jobs.push_back(std::make_unique<SquareJob>());
    jobs.back()->input = i % 50 == 7 ? -i : i;
    crew.Queue(*jobs.back());
  }
  for (int i = 0; i < 200; ++i) {
    SquareJob& job = *jobs[i];
    if (job.input < 0) {
      EXPECT_THROW(crew.Wait(job), std::runtime_error) << i;
      continue;
    }
    crew.Wait(job);
    EXPECT_EQ(job.output, i * i) << i;
    EXPECT_LT(job.ranOn, crew.Threads()) << i;
  }
  SquareJob& again = *jobs[3];
  again.input = 12;
  crew.Queue(again);
  crew.Wait(again);
  EXPECT_EQ(again.output, 144);
}

}  // namespace
