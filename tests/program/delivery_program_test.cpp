// Settings reach the mouse in the running program: edits made while the mouse is asleep
// or unplugged go once it can be reached, a change made on the mouse does not swallow
// the user's unsent edits, and a burst of clicks does not queue one apply per click.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <string>

#include "settings/page_controls.h"
#include "tests/program/running_program.h"
#include "tests/support/qt_test_app.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

void leave(QWidget& widget) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&widget, &out);
}

void click(RunningProgram& program, const char* name) {
  qobject_cast<QAbstractButton*>(program.control(name).widget())->click();
}

bool pending_line_shown(RunningProgram& program) { return program.control(kPendingChangesLabel).widget()->isVisible(); }

// The settings the mouse keeps equal the stored profile's.
void expect_mouse_holds_stored_profile(RunningProgram& program) {
  const ProfileRecord stored = program.stored_profile(0);
  const VmMouseState mouse = program.mouse();
  EXPECT_EQ(mouse.current_level, stored.current_dpi_level);
  // A level of value 0 (unused) goes out as the wire's lowest value.
  for (int k = 0; k < 8; ++k) EXPECT_EQ(mouse.dpi_units[k], std::max(stored.dpi_value[k], 1)) << "level " << k + 1;
  EXPECT_EQ(mouse.light_mode, stored.light_mode);
  EXPECT_EQ(mouse.light_brightness, stored.light_brightness);
  EXPECT_EQ(mouse.polling_rate, stored.polling_rate);
}

TEST(DeliveryInTheProgram, ADpiButtonPressOnTheMouseKeepsTheUnsentDpiEdit) {
  RunningProgram program;
  program.settle();
  int applies = program.applies();

  QLineEdit& edit = program.edit("ms_1_edit_dpi_2");
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("1000"));
  leave(edit);
  vm_press_dpi_button();  // level 2 to level 3 on the mouse
  program.pump();
  EXPECT_EQ(program.mouse().current_level, 2);

  click(program, kApplyDpiButton);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.mouse().dpi_cpi[1], 1000u);
  EXPECT_EQ(program.mouse().current_level, 2) << "the level chosen on the mouse stays";
  EXPECT_EQ(program.stored_profile(0).dpi_value[1], 20);
  expect_mouse_holds_stored_profile(program);
}

TEST(DeliveryInTheProgram, AnEditMadeWhileTheMouseSleepsOnTheCableArrivesWhenItWakes) {
  RunningProgram program;
  program.settle();
  int applies = program.applies();

  vm_sleep();
  program.slider(kBrightnessSlider).setValue(3);
  program.time().advance(500);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_NE(program.mouse().light_brightness, 3);
  EXPECT_TRUE(pending_line_shown(program));
  EXPECT_EQ(program.control(kPendingChangesLabel).text(), QStringLiteral("1 change waiting for the mouse"));
  EXPECT_EQ(program.stored_profile(0).light_brightness, 3) << "the store keeps the edit";
  program.photograph("pending_changes.png", "ms_1_device_card");

  // The mouse wakes and reports its battery: the edit goes without a click.
  vm_wake();
  vm_send_battery(0, 80);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.mouse().light_brightness, 3);
  EXPECT_FALSE(pending_line_shown(program));
  ASSERT_TRUE(program.drain());
  expect_mouse_holds_stored_profile(program);
}

TEST(DeliveryInTheProgram, EditsMadeWithTheCableOutArriveWhenItIsPluggedBack) {
  RunningProgram program;
  program.settle();
  const int applies = program.applies();

  vm_unplug(VM_LINK_CABLE);
  program.pump();
  program.slider(kBrightnessSlider).setValue(2);
  click(program, "ms_1_option_dpi_step_4");
  program.time().advance(1000);
  program.pump();
  EXPECT_EQ(program.mouse_since_settle().frames, 0u);

  vm_plug(VM_LINK_CABLE);
  program.pump();
  program.time().advance(3000);  // the arrival settles
  ASSERT_TRUE(program.wait_for_applies(applies + 1));
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.mouse().light_brightness, 2);
  EXPECT_EQ(program.mouse().current_level, 3);
  expect_mouse_holds_stored_profile(program);
}

TEST(DeliveryInTheProgram, TwelveQuickDpiClicksEndInTheLastChoiceWithAtMostTwoApplies) {
  // Declared before the program: its worker may still pause while the program closes.
  std::mutex mutex;
  std::condition_variable changed;
  bool holding = false, released = false;
  RunningProgram program;
  program.settle();
  const int applies = program.applies();

  // The worker is held in the pause after the first click's report, as a paced send
  // would keep it, while the other eleven clicks come.
  const std::thread::id ui_thread = std::this_thread::get_id();
  program.time().set_sleep_hook([&](int) {
    if (std::this_thread::get_id() == ui_thread) return;
    std::unique_lock lock(mutex);
    if (released) return;
    holding = true;
    changed.notify_all();
    changed.wait(lock, [&] { return released; });
  });
  auto release = [&] {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  };

  click(program, "ms_1_option_dpi_step_1");
  const bool held = run_events_until([&] {
    std::lock_guard lock(mutex);
    return holding;
  });
  for (int level : {2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 3}) {
    click(program, ("ms_1_option_dpi_step_" + std::to_string(level)).c_str());
  }
  program.pump();
  EXPECT_TRUE(program.control(kApplyRing).widget()->isVisible()) << "an apply runs";
  program.photograph("apply_ring.png", "ms_1_device_card");
  release();
  ASSERT_TRUE(held);
  ASSERT_TRUE(program.drain());
  program.time().set_sleep_hook(nullptr);

  EXPECT_EQ(program.applies() - applies, 3) << "two for the clicks, one to drain";
  EXPECT_EQ(program.mouse_since_settle().dpi, 2u);
  EXPECT_EQ(program.mouse().current_level, 2);
  expect_mouse_holds_stored_profile(program);
}

}  // namespace
}  // namespace norvane::testing
