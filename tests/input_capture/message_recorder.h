#pragma once
// A window stand-in for the input-capture library: keeps every message posted to it
// (from any thread) and lets a test wait for them.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <vector>

#include "input_capture/hook_abi.h"

namespace norvane::testing {

struct Message {
  uint32_t id;
  uintptr_t wparam;
  intptr_t lparam;
  bool operator==(const Message&) const = default;
};

inline void PrintTo(const Message& m, std::ostream* os) { *os << "{" << m.id << ", " << m.wparam << ", " << m.lparam << "}"; }

inline Message hook_message(uintptr_t wparam, intptr_t lparam) { return {NV_HOOK_MESSAGE, wparam, lparam}; }

class MessageRecorder {
 public:
  NvPostTarget* target() { return &target_; }

  // Waits (bounded) until at least `count` messages arrived.
  bool wait_for(size_t count, std::chrono::seconds limit = std::chrono::seconds(10)) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return messages_.size() >= count; });
  }
  std::vector<Message> messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  static void post(void* context, uint32_t id, uintptr_t wparam, intptr_t lparam) {
    auto* self = static_cast<MessageRecorder*>(context);
    std::lock_guard lock(self->mutex_);
    self->messages_.push_back({id, wparam, lparam});
    self->arrived_.notify_all();
  }

  NvPostTarget target_{this, &MessageRecorder::post};
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<Message> messages_;
};

}  // namespace norvane::testing
