// The running program as a desktop user meets it: scrolling the settings with the
// wheel, levels the mouse has switched off, desktops without a tray, a mouse the user
// may not open, the battery in the tray and in notices, and what runs while the window
// is hidden.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>
#include <cstring>

#include "core/messages.h"
#include "settings/page_controls.h"
#include "tests/program/running_program.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

// One notch of the wheel towards the user over the middle of `target`, as the window
// system delivers it.
void turn_wheel_over(QWidget& target) {
  const QPointF local(target.width() / 2.0, target.height() / 2.0);
  QWheelEvent wheel(local, target.mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  QApplication::sendEvent(&target, &wheel);
}

void open_section(RunningProgram& program, const char* check) {
  auto* box = qobject_cast<QAbstractButton*>(program.control(check).widget());
  ASSERT_NE(box, nullptr) << check;
  if (!box->isChecked()) box->click();
  program.pump();
}

TEST(DesktopProgram, TheWheelOverAnUnfocusedSliderOrListScrollsThePageAndChangesNothing) {
  RunningProgram program;
  program.settle();
  open_section(program, "ms_1_check_dpi");
  open_section(program, "ms_1_check_light");
  auto* area = qobject_cast<QScrollArea*>(program.control(kSettingArea).widget());
  ASSERT_NE(area, nullptr);
  const ProfileRecord before = *program.page().profiles().current_profile;
  const int applies = program.applies();

  QAbstractSlider& dpi = program.slider("ms_1_slider_dpi_3");
  area->verticalScrollBar()->setValue(0);
  turn_wheel_over(dpi);
  EXPECT_GT(area->verticalScrollBar()->value(), 0) << "the page scrolled";
  auto* effects = qobject_cast<QComboBox*>(program.control(kLightCombo).widget());
  ASSERT_NE(effects, nullptr);
  area->ensureWidgetVisible(effects);
  const int scrolled = area->verticalScrollBar()->value();
  turn_wheel_over(*effects);
  EXPECT_NE(area->verticalScrollBar()->value(), scrolled);

  program.time().advance(1000);
  program.pump();
  const ProfileRecord& after = *program.page().profiles().current_profile;
  EXPECT_EQ(after.dpi_value[2], before.dpi_value[2]);
  EXPECT_EQ(after.light_mode, before.light_mode);
  EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0);
  EXPECT_EQ(program.applies(), applies) << "nothing was sent";
}

}  // namespace
}  // namespace norvane::testing
