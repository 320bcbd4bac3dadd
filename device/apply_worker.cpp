#include "device/apply_worker.h"

#include <mutex>
#include <utility>

#include "core/messages.h"
#include "core/trace.h"

namespace norvane {

ApplyWorker::ApplyWorker(const LinkState& links, std::function<void()> apply)
    : links_(links), apply_(std::move(apply)) {}

ApplyWorker::~ApplyWorker() { stop(); }

void ApplyWorker::start() {
  if (started_ || queue_.quitting()) return;
  started_ = true;
  thread_ = std::thread([this] { run(); });
}

bool ApplyWorker::post(uint32_t id, uintptr_t wparam, intptr_t lparam) {
  if (id != UM_APPLY_THREAD) return queue_.post(id, wparam, lparam);
  std::lock_guard<std::mutex> lock(request_mutex_);
  if (apply_waiting_) {
    if (queue_.quitting()) return false;
    ++posted_;  // merged: the apply that waits carries it out
    return true;
  }
  if (!queue_.post(id, wparam, lparam)) return false;
  apply_waiting_ = true;
  ++posted_;
  return true;
}

void ApplyWorker::stop() {
  if (!queue_.quitting()) {
    queue_.quit();
    if (thread_.joinable()) trace("apply worker: stopping\n");
  }
  if (thread_.joinable()) thread_.join();
}

void ApplyWorker::run() {
  Message message;
  while (queue_.get(message)) {
    if (message.id != UM_APPLY_THREAD) continue;
    uint64_t covered = 0;
    {
      std::lock_guard<std::mutex> lock(request_mutex_);
      // Taken before the apply starts, so a request made while it runs queues the next
      // one; every request made until now is carried out by this apply.
      apply_waiting_ = false;
      covered = posted_;
    }
    if (links_.any_library_link_or_ble() && apply_) apply_();
    handled_ = covered;
  }
}

}  // namespace norvane
