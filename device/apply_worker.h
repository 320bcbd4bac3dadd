#pragma once
// The worker thread that carries out every apply, so sends to the mouse (paced at
// a second or more per report) never block the UI thread and run one at a time.
//
// Requests arrive as thread message 1552 through post(), from any thread. For each
// one the worker runs the apply routine when a link to the mouse is up (a library
// link present or Bluetooth LE connected); other messages are ignored. A request made
// while another one still waits its turn merges into it: the apply takes a fresh
// snapshot of the profile when it starts, so a burst of clicks ends in at most the apply
// already running and one more. stop() lets the request already queued run, then ends
// and joins the thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "core/link_state.h"
#include "core/thread_message_queue.h"

namespace norvane {

class ApplyWorker {
 public:
  ApplyWorker(const LinkState& links, std::function<void()> apply);
  ~ApplyWorker();
  ApplyWorker(const ApplyWorker&) = delete;
  ApplyWorker& operator=(const ApplyWorker&) = delete;

  // Starts the thread. Later calls do nothing.
  void start();
  // Queues a thread message; false once stop() was called. An apply request while
  // another waits is merged into it (true: it will be carried out).
  bool post(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);
  // Ends the queue, waits for the thread without a time limit. Idempotent.
  void stop();
  // True once stop() has begun: an apply in progress may end early between reports.
  bool stop_requested() const { return queue_.quitting(); }
  // Apply requests accepted so far (merged ones included), and how many of them the
  // applies that ended have carried out (run, or skipped without a link): the request
  // that made posted() N has been carried out once handled() >= N.
  uint64_t posted() const { return posted_; }
  uint64_t handled() const { return handled_; }

 private:
  void run();

  const LinkState& links_;
  std::function<void()> apply_;
  ThreadMessageQueue queue_;
  std::thread thread_;
  bool started_ = false;
  // Guards apply_waiting_ with posted_, so a request either merges into an apply not
  // yet taken or queues a new one, and each apply knows the requests it carries out.
  std::mutex request_mutex_;
  bool apply_waiting_ = false;  // an apply request is queued and not yet taken by the worker
  std::atomic<uint64_t> posted_{0};
  std::atomic<uint64_t> handled_{0};
};

}  // namespace norvane
