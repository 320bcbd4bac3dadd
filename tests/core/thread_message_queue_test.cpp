#include "core/thread_message_queue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace norvane;

TEST(ThreadMessageQueueTest, WorkerGetsMessagesInOrderThenStopsAfterQuit) {
  ThreadMessageQueue queue;
  std::vector<Message> got;
  std::thread worker([&] {
    Message m;
    while (queue.get(m)) got.push_back(m);
  });
  for (int i = 0; i < 100; ++i) queue.post(1552, static_cast<uintptr_t>(i), i * 2);
  queue.quit();
  worker.join();
  ASSERT_EQ(got.size(), 100u);  // every message posted before quit is delivered
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(got[i].id, 1552u);
    EXPECT_EQ(got[i].wparam, static_cast<uintptr_t>(i));
    EXPECT_EQ(got[i].lparam, i * 2);
  }
  EXPECT_FALSE(queue.post(1552, 0, 0));
  Message m;
  EXPECT_FALSE(queue.try_get(m));
}
