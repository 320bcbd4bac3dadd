#pragma once
// Records what a driver library posts through its NvPostTarget, from any thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "drivers/driver_api.h"

struct PostedMessage {
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
  bool operator==(const PostedMessage&) const = default;
};

class RecordingPoster {
 public:
  NvPostTarget target() { return NvPostTarget{this, &RecordingPoster::post}; }

  std::vector<PostedMessage> messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }
  // Waits until `count` messages have arrived. The limit only keeps a broken
  // driver from hanging the test run.
  bool wait_for(size_t count) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return messages_.size() >= count; });
  }

 private:
  static void post(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    auto* self = static_cast<RecordingPoster*>(context);
    std::lock_guard lock(self->mutex_);
    self->messages_.push_back({message, wparam, lparam});
    self->arrived_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<PostedMessage> messages_;
};
