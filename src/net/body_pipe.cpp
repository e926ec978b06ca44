#include "net/body_pipe.h"

#include <chrono>
#include <utility>

#include "platform/operation_abandon.h"

BodyPipe::BodyPipe(std::function<void(const QByteArray&)> sink, std::function<void()> wake)
    : sink_(std::move(sink)), wake_(std::move(wake)) {}

bool BodyPipe::Push(const char* data, qsizetype size) {
  bool was_empty = false;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    // Woken by Drain; the short wait also notices an abandon, which nobody
    // signals here.
    while (!closed_ && waiting_bytes_ > kMaxWaiting && !AbandonRequested()) {
      room_.wait_for(lock, std::chrono::milliseconds(50));
    }
    if (closed_ || AbandonRequested()) return false;
    was_empty = pieces_.empty();
    pieces_.emplace_back(data, size);
    waiting_bytes_ += size;
  }
  if (was_empty) wake_();
  return true;
}

void BodyPipe::Drain() {
  if (draining_) return;
  draining_ = true;
  for (;;) {
    QByteArray piece;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || pieces_.empty()) break;
      piece = std::move(pieces_.front());
      pieces_.pop_front();
      waiting_bytes_ -= piece.size();
    }
    room_.notify_all();
    if (AbandonRequested()) break;
    try {
      sink_(piece);
    } catch (...) {
      failure_ = std::current_exception();
      Close();
      break;
    }
  }
  draining_ = false;
}

void BodyPipe::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    pieces_.clear();
    waiting_bytes_ = 0;
  }
  room_.notify_all();
}

bool BodyPipe::Closed() {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

void BodyPipe::RethrowFailure() const {
  if (failure_) std::rethrow_exception(failure_);
}
