// Window and control timers on fake time: repeat until killed, restart postpones.

#include <gtest/gtest.h>

#include "tests/app/toolkit/test_window.h"
#include "tests/support/fake_time.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

class TimersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("t.xml", ui_document("t", R"(<item><widget class="QListWidget" name="list"/></item>)"));
    ASSERT_TRUE(window.create(nullptr, "t", WindowStyle::kNone));
  }
  FakeTime time;
  ScopedTimerService timers{time};
  TempSkinFolder skins;
  TestWindow window{"T", "t.xml"};
};

TEST_F(TimersTest, RestartingATimerPostponesIt) {
  window.set_timer(529, 500);
  time.advance(400);
  window.set_timer(529, 500);  // restart: a full interval from now
  time.advance(499);
  EXPECT_TRUE(window.timers.empty());
  time.advance(1);
  EXPECT_EQ(window.timers, std::vector<int>{529});
}

TEST_F(TimersTest, TimersRepeatInTimeOrderUntilKilled) {
  window.set_timer(531, 30);
  window.set_timer(52, 2000);
  time.advance(90);
  EXPECT_EQ(window.timers, (std::vector<int>{531, 531, 531}));
  window.kill_timer(531);
  time.advance(2000);
  EXPECT_EQ(window.timers, (std::vector<int>{531, 531, 531, 52}));
  EXPECT_EQ(time.now_ms(), 2090);
}

TEST_F(TimersTest, ControlTimersComeBackAsTimerNotifications) {
  window.set_control_timer(window.find("list"), 28, 50);
  time.advance(50);
  ASSERT_EQ(window.notifications.of_type("timer").size(), 1u);
  EXPECT_EQ(window.notifications.of_type("timer")[0], (Recorded{"timer", "list", 28, 0}));
  window.kill_control_timer(window.find("list"), 28);
  time.advance(500);
  EXPECT_EQ(window.notifications.of_type("timer").size(), 1u);
}

TEST_F(TimersTest, ClosingTheWindowStopsItsTimers) {
  window.set_timer(528, 6000);
  window.set_control_timer(window.find("list"), 6, 50);
  EXPECT_EQ(time.running_count(), 2);
  window.close();
  flush_events();
  EXPECT_EQ(time.running_count(), 0);
}

TEST(FakeTimeTest, SleepsAreRecordedAndMoveTheClock) {
  FakeTime time;
  Clock& clock = time;
  clock.sleep_ms(1000);
  clock.sleep_ms(20);
  EXPECT_EQ(time.sleeps(), (std::vector<int>{1000, 20}));
  EXPECT_EQ(clock.now_ms(), 1020);
}

TEST(FakeTimeTest, CallbackMayKillOrRestartItsOwnTimer) {
  FakeTime time;
  int owner = 0;
  int fired = 0;
  time.start(&owner, 1, 100, [&] {
    ++fired;
    time.kill(&owner, 1);  // one-shot
  });
  time.advance(1000);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(time.is_running(&owner, 1));
}

}  // namespace
