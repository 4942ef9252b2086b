#pragma once

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

// Runs work too long for the GUI thread on a thread of its own, one job at a time, newest first:
// posting a job asks the running one to stop (through its stop token) and drops its result. Only
// the newest job's result is used, on the thread of `receiver`, from its event loop.
class BackgroundJob {
 public:
  // Runs on the worker thread. Returns what to do with its result on the receiver's thread, or
  // an empty function when it stopped early.
  using Job = std::function<std::function<void()>(std::stop_token)>;

  // `receiver` owns this object (as a member), so no result is left queued for it after it goes.
  explicit BackgroundJob(QObject* receiver);
  // Stops the running job and waits for the thread.
  ~BackgroundJob();
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Receiver's thread only, as all that follows.
  void Post(Job job);
  // Stops the running job and drops its result and that of a job not yet started.
  void Cancel();
  // Cancel(), then waits until a job already running has returned, so that nothing it reads is
  // read any more: what must happen before the data the jobs read is changed in place.
  void CancelAndWait();
  // True from Post until its result has been used or cancelled.
  bool Busy() const { return busy_; }

 private:
  void Work(std::stop_token threadStop);

  QObject* receiver_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::condition_variable idle_;  // a job returned
  bool working_ = false;          // under mutex_: a job is running
  Job pending_;                   // under mutex_
  std::uint64_t pendingId_ = 0;   // under mutex_
  std::stop_source running_;      // under mutex_: the stop of the job last posted
  std::uint64_t newestId_ = 0;    // receiver's thread: the job whose result is wanted
  bool busy_ = false;             // receiver's thread
  std::jthread thread_;           // from the first Post; last, so it goes first
};
