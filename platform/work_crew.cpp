#include "platform/work_crew.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace platform {

namespace {

constexpr char kThreadsVariable[] = "KESTROLAN_THREADS";

}  // namespace

unsigned WorkThreads() {
  if (const char* value = std::getenv(kThreadsVariable)) {
    const std::string_view text(value);
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc() && end == text.data() + text.size() && count > 0) {
      return std::min(count, kMaxWorkThreads);
    }
    if (error == std::errc::result_out_of_range) return kMaxWorkThreads;
  }
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxWorkThreads);
}

WorkCrew::WorkCrew(unsigned threads) {
  for (unsigned thread = 1; thread < threads; ++thread) {
    try {
      helpers_.emplace_back([this, thread] { Help(thread); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: the owner and the helpers so far do the work
    }
  }
}

WorkCrew::~WorkCrew() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
    for (WorkJob* job : queue_) job->state_ = WorkJob::State::kIdle;
    queue_.clear();
  }
  queued_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

void WorkCrew::Queue(WorkJob& job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job.state_ = WorkJob::State::kQueued;
    job.failure_ = nullptr;
    queue_.push_back(&job);
  }
  queued_.notify_one();
}

void WorkCrew::Wait(WorkJob& job) {
  std::unique_lock<std::mutex> lock(mutex_);
  while (job.state_ != WorkJob::State::kDone) {
    if (queue_.empty()) {
      done_.wait(lock);
      continue;
    }
    // The newest job: helpers take the oldest, so the owner does not take from under them the
    // jobs it will want next (a helper being woken is slower to reach a job than the owner).
    WorkJob* newest = queue_.back();
    queue_.pop_back();
    RunLocked(*newest, 0, lock);
  }
  if (job.failure_) std::rethrow_exception(job.failure_);
}

void WorkCrew::Help(unsigned thread) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (WorkJob* job = TakeQueued()) {
      RunLocked(*job, thread, lock);
    } else if (ending_) {
      return;
    } else {
      queued_.wait(lock);
    }
  }
}

void WorkCrew::RunLocked(WorkJob& job, unsigned thread, std::unique_lock<std::mutex>& lock) {
  job.state_ = WorkJob::State::kRunning;
  lock.unlock();
  std::exception_ptr failure;
  try {
    job.Run(thread);
  } catch (...) {
    failure = std::current_exception();
  }
  lock.lock();
  job.failure_ = failure;
  job.state_ = WorkJob::State::kDone;
  done_.notify_all();
}

WorkJob* WorkCrew::TakeQueued() {
  if (queue_.empty()) return nullptr;
  WorkJob* job = queue_.front();
  queue_.pop_front();
  return job;
}

}  // namespace platform
