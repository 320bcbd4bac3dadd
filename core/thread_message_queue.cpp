#include "core/thread_message_queue.h"

namespace norvane {

bool ThreadMessageQueue::post(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (quit_) return false;
    messages_.push_back(Message{id, wparam, lparam});
  }
  ready_.notify_one();
  return true;
}

bool ThreadMessageQueue::get(Message& out) {
  std::unique_lock<std::mutex> lock(mutex_);
  ready_.wait(lock, [this] { return quit_ || !messages_.empty(); });
  if (messages_.empty()) return false;
  out = messages_.front();
  messages_.pop_front();
  return true;
}

bool ThreadMessageQueue::try_get(Message& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (messages_.empty()) return false;
  out = messages_.front();
  messages_.pop_front();
  return true;
}

void ThreadMessageQueue::quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  ready_.notify_all();
}

bool ThreadMessageQueue::quitting() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return quit_;
}

size_t ThreadMessageQueue::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

}  // namespace norvane
