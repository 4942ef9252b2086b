#include "app/background_job.h"

#include <QMetaObject>
#include <utility>

BackgroundJob::BackgroundJob(QObject* receiver) : receiver_(receiver) {}

BackgroundJob::~BackgroundJob() {
  Cancel();
  if (!thread_.joinable()) return;
  thread_.request_stop();
  thread_.join();
}

void BackgroundJob::Post(Job job) {
  // The thread starts with the first job: a window that never filters or compares starts none.
  if (!thread_.joinable()) {
    thread_ = std::jthread([this](std::stop_token stop) { Work(std::move(stop)); });
  }
  {
    const std::lock_guard lock(mutex_);
    running_.request_stop();
    running_ = std::stop_source();
    pending_ = std::move(job);
    pendingId_ = ++newestId_;
  }
  busy_ = true;
  wake_.notify_one();
}

void BackgroundJob::Cancel() {
  const std::lock_guard lock(mutex_);
  running_.request_stop();
  pending_ = nullptr;
  ++newestId_;
  busy_ = false;
}

void BackgroundJob::CancelAndWait() {
  Cancel();
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !working_; });
}

void BackgroundJob::Work(std::stop_token threadStop) {
  std::unique_lock lock(mutex_);
  while (wake_.wait(lock, threadStop, [this] { return pending_ != nullptr; })) {
    const Job job = std::exchange(pending_, nullptr);
    const std::uint64_t id = pendingId_;
    const std::stop_token stop = running_.get_token();
    working_ = true;
    lock.unlock();
    std::function<void()> finish = job(stop);
    if (finish && !stop.stop_requested()) {
      QMetaObject::invokeMethod(
          receiver_,
          [this, id, finish = std::move(finish)] {
            if (id != newestId_) return;  // a newer job was posted, or this one cancelled
            busy_ = false;
            finish();
          },
          Qt::QueuedConnection);
    }
    lock.lock();
    working_ = false;
    idle_.notify_all();
  }
}
