#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace platform {

// Work that is split into parts runs on at most this many threads.
inline constexpr unsigned kMaxWorkThreads = 8;

// The threads split work runs on: one per processor core, at most kMaxWorkThreads. The
// environment variable KESTROLAN_THREADS, a whole number from 1 up, sets the count instead (capped
// the same way); 1 keeps all work on the calling thread. Read at every call.
unsigned WorkThreads();

// A piece of work for a WorkCrew. A job is queued on one crew at a time; it may be queued again
// once it is done.
class WorkJob {
 public:
  virtual ~WorkJob() = default;

  // Does the work on the crew's thread numbered `thread`: 0 is the crew's owner, 1 and up its
  // helpers, so a job may use scratch space kept per thread. What it throws reaches the owner
  // through WorkCrew::Wait.
  virtual void Run(unsigned thread) = 0;

 private:
  friend class WorkCrew;
  enum class State { kIdle, kQueued, kRunning, kDone };
  State state_ = State::kIdle;  // guarded by the crew's mutex
  std::exception_ptr failure_;
};

// A job that calls a function of its own.
class CallJob : public WorkJob {
 public:
  explicit CallJob(std::function<void()> call) : call_(std::move(call)) {}
  void Run(unsigned /*thread*/) override { call_(); }

 private:
  std::function<void()> call_;
};

// Helper threads that run queued jobs, oldest first. The thread that makes the crew, its owner,
// queues jobs and waits for them; while it waits it runs queued jobs itself, newest first, so
// the owner and the helpers are Threads() threads at work. Only the owner calls the members.
class WorkCrew {
 public:
  // Starts `threads` - 1 helpers (fewer when the system has no more threads to give).
  explicit WorkCrew(unsigned threads);
  // Forgets the jobs not yet started, waits for those running, and ends the helpers.
  ~WorkCrew();
  WorkCrew(const WorkCrew&) = delete;
  WorkCrew& operator=(const WorkCrew&) = delete;

  // The owner and the helpers: the thread numbers jobs see are below this.
  unsigned Threads() const { return static_cast<unsigned>(helpers_.size()) + 1; }

  // Queues `job`, which must not be queued already and must live until it is done or the crew is
  // gone.
  void Queue(WorkJob& job);

  // Returns once `job`, queued on this crew, is done, and throws what its Run threw. Meanwhile
  // runs queued jobs on this thread, newest first, `job` among them when no helper starts it.
  void Wait(WorkJob& job);

 private:
  void Help(unsigned thread);
  // Runs `job` on `thread`, the lock released meanwhile; marks it done.
  void RunLocked(WorkJob& job, unsigned thread, std::unique_lock<std::mutex>& lock);
  // The oldest queued job, taken from the queue; nullptr when there is none.
  WorkJob* TakeQueued();

  std::mutex mutex_;
  std::condition_variable queued_;  // a job was queued, or the crew is ending
  std::condition_variable done_;    // a job is done
  std::deque<WorkJob*> queue_;      // the jobs in state kQueued, oldest first
  bool ending_ = false;
  std::vector<std::thread> helpers_;
};

}  // namespace platform
