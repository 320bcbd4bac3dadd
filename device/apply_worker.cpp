#include "device/apply_worker.h"

#include <utility>

#include "core/messages.h"

namespace norvane {

ApplyWorker::ApplyWorker(const LinkState& links, std::function<void()> apply)
    : links_(links), apply_(std::move(apply)) {}

ApplyWorker::~ApplyWorker() { stop(); }

void ApplyWorker::start() {
  if (started_ || queue_.quitting()) return;
  started_ = true;
  thread_ = std::thread([this] { run(); });
}

bool ApplyWorker::post(uint32_t id, uintptr_t wparam, intptr_t lparam) { return queue_.post(id, wparam, lparam); }

void ApplyWorker::stop() {
  queue_.quit();
  if (thread_.joinable()) thread_.join();
}

void ApplyWorker::run() {
  Message message;
  while (queue_.get(message)) {
    if (message.id == UM_APPLY_THREAD && links_.any_library_link_or_ble() && apply_) apply_();
  }
}

}  // namespace norvane
