// Numbered messages: posted from any thread, handled in arrival order with their numbers
// and parameters; a port outlives its window safely.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/app/toolkit/test_window.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

class MessagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("m.xml", ui_document("m", ""));
    ASSERT_TRUE(window.create(nullptr, "m", WindowStyle::kNone));
  }
  TempSkinFolder skins;
  TestWindow window{"M", "m.xml"};
};

TEST_F(MessagesTest, MessagesFromOtherThreadsArriveInOrderWithTheirParameters) {
  constexpr int kPerThread = 500;
  MessagePortPtr port = window.port();
  auto producer = [port](uint32_t id) {
    for (int i = 0; i < kPerThread; ++i) {
      port->post(id, static_cast<uintptr_t>(i), -static_cast<intptr_t>(i) * 3);
    }
  };
  std::thread a(producer, 1553);
  std::thread b(producer, 1555);
  a.join();
  b.join();
  window.post_message(1290, 7, 9);  // from the UI thread, after both
  ASSERT_TRUE(run_events_until([&] { return window.messages.size() == 2 * kPerThread + 1; }));

  int next_a = 0, next_b = 0;
  for (size_t k = 0; k + 1 < window.messages.size(); ++k) {
    const Message& m = window.messages[k];
    int& next = (m.id == 1553) ? next_a : next_b;
    ASSERT_TRUE(m.id == 1553 || m.id == 1555) << m.id;
    EXPECT_EQ(m.wparam, static_cast<uintptr_t>(next));
    EXPECT_EQ(m.lparam, -static_cast<intptr_t>(next) * 3);
    ++next;
  }
  EXPECT_EQ(next_a, kPerThread);
  EXPECT_EQ(next_b, kPerThread);
  EXPECT_EQ(window.messages.back().id, 1290u);
  EXPECT_EQ(window.messages.back().wparam, 7u);
  EXPECT_EQ(window.messages.back().lparam, 9);
}

TEST_F(MessagesTest, CompletionRunsOnceAfterHandlingOrWhenDropped) {
  MessagePortPtr port = window.port();
  int delivered = 0, dropped = 0;
  auto count = [&](bool ok) { ok ? ++delivered : ++dropped; };
  port->post(1281, 0, 0, count);
  port->post(1281, 0, 0, count);
  ASSERT_TRUE(run_events_until([&] { return delivered == 2; }));
  EXPECT_EQ(window.messages.size(), 2u);

  // Queued but never handled: the window object goes first.
  auto* other = new TestWindow("M2", "m.xml");
  ASSERT_TRUE(other->create(nullptr, "", WindowStyle::kNone));
  MessagePortPtr other_port = other->port();
  other_port->post(1027, 0, 0, count);
  delete other;
  EXPECT_EQ(dropped, 1);
  EXPECT_FALSE(other_port->is_open());
  flush_events();
  EXPECT_EQ(dropped, 1);

  // Posting to a gone window fails and still completes.
  EXPECT_FALSE(other_port->post(1027, 0, 0, count));
  EXPECT_EQ(dropped, 2);
  EXPECT_EQ(delivered, 2);
}

TEST_F(MessagesTest, CPostTargetReachesTheWindow) {
  MessagePortPtr port = window.port();
  std::thread t([raw = port.get()] { MessagePort::post_from_c(raw, 1556, 1, 0); });
  t.join();
  ASSERT_TRUE(run_events_until([&] { return !window.messages.empty(); }));
  EXPECT_EQ(window.messages[0].id, 1556u);
  EXPECT_EQ(window.messages[0].wparam, 1u);
}

TEST_F(MessagesTest, SendHandlesAtOnce) {
  EXPECT_TRUE(window.send_message(1291, 0, 32));
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].lparam, 32);
}

}  // namespace
