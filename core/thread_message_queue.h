#pragma once
// A thread's message queue: the stand-in for posting a thread message to a worker
// thread. Any thread may post; the one thread that owns the queue takes messages
// out in the order they were posted, blocking while the queue is empty.
//
//   ThreadMessageQueue queue;
//   std::thread worker([&] {
//     Message m;
//     while (queue.get(m)) { if (m.id == UM_APPLY_THREAD) run_apply(); }
//   });
//   queue.post(UM_APPLY_THREAD, 5, 7);   // from the UI thread
//   queue.quit();                        // get() returns false once the queue is drained
//   worker.join();

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "core/messages.h"

namespace norvane {

class ThreadMessageQueue {
 public:
  // Appends a message. Returns false (and drops it) once quit() was called.
  bool post(uint32_t id, uintptr_t wparam = 0, intptr_t lparam = 0);

  // Waits for the next message and moves it into `out`. Returns false when quit()
  // was called and every message posted before it has been taken.
  bool get(Message& out);

  // Takes the next message without waiting. Returns false when there is none.
  bool try_get(Message& out);

  // Ends the queue: messages already posted are still delivered, then get() returns
  // false. Posts after this are refused.
  void quit();

  bool quitting() const;
  size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Message> messages_;
  bool quit_ = false;
};

}  // namespace norvane
