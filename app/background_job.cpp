#include "app/background_job.h"

#include <QMetaObject>
#include <utility>

BackgroundJob::BackgroundJob(QObject* receiver)
    : receiver_(receiver), thread_([this](std::stop_token stop) { Work(std::move(stop)); }) {}

BackgroundJob::~BackgroundJob() {
  Cancel();
  thread_.request_stop();
  thread_.join();
}

void BackgroundJob::Post(Job job) {
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

void BackgroundJob::Work(std::stop_token threadStop) {
  std::unique_lock lock(mutex_);
  while (wake_.wait(lock, threadStop, [this] { return pending_ != nullptr; })) {
    const Job job = std::exchange(pending_, nullptr);
    const std::uint64_t id = pendingId_;
    const std::stop_token stop = running_.get_token();
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
  }
}
