// The running program as a desktop user meets it: scrolling the settings with the
// wheel, levels the mouse has switched off, desktops without a tray, a mouse the user
// may not open, the battery in the tray and in notices, and what runs while the window
// is hidden.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>
#include <cerrno>
#include <cstring>

#include "app/toolkit/resources.h"
#include "core/messages.h"
#include "device/library_links.h"
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

QAbstractButton& option(RunningProgram& program, const char* name) {
  auto* button = qobject_cast<QAbstractButton*>(program.control(name).widget());
  if (button == nullptr) throw std::runtime_error(std::string("no option ") + name);
  return *button;
}

TEST(DesktopProgram, ALevelTheMouseHasSwitchedOffCannotBecomeCurrentAndIsShownButNotSentBack) {
  RunningProgram program;  // the default profile: levels 7 and 8 off
  program.settle();
  EXPECT_TRUE(option(program, "ms_1_option_dpi_step_6").isEnabled());
  EXPECT_FALSE(option(program, "ms_1_option_dpi_step_7").isEnabled());
  EXPECT_FALSE(program.slider("ms_1_slider_dpi_8").isEnabled());
  const int32_t level = program.page().profiles().current_profile->current_dpi_level;

  option(program, "ms_1_option_dpi_step_7").click();    // drawn disabled: nothing happens
  option(program, "ms_1_option_dpi_step_8").setChecked(true);  // even when forced
  program.time().advance(1000);
  program.pump();
  EXPECT_EQ(program.page().profiles().current_profile->current_dpi_level, level);
  EXPECT_TRUE(option(program, numbered(kDpiLevelOptionPrefix, level + 1).c_str()).isChecked());
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.mouse_since_settle().dpi, 0u);

  vm_send_event(0x10, 7, 0);  // the mouse says level 7 is current
  program.pump();
  EXPECT_EQ(program.page().profiles().current_profile->current_dpi_level, 6);
  EXPECT_TRUE(option(program, "ms_1_option_dpi_step_7").isChecked());
  program.time().advance(3000);
  program.pump();
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.mouse_since_settle().dpi, 0u) << "what the mouse reported is not sent back";
}

TEST(DesktopProgram, WithoutATrayAStartWithoutAMouseKeepsTheWindowUpUntilTheCableBringsTheSettings) {
  RunningProgram program({.links = 0, .tray = false});
  EXPECT_TRUE(program.window().is_visible());
  EXPECT_EQ(program.control("device_tab_switch").selected_item(), kNoMousePage);
  EXPECT_TRUE(program.control("no_mouse_checks").is_visible());

  vm_plug(VM_LINK_CABLE);
  program.pump();
  program.time().advance(kArrivalWaitMs);
  program.pump();
  EXPECT_TRUE(program.window().is_visible());
  EXPECT_EQ(program.control("device_tab_switch").selected_item(), kSettingsPage);

  vm_unplug(VM_LINK_CABLE);
  program.pump();
  EXPECT_TRUE(program.window().is_visible()) << "no tray to hide in";
  EXPECT_EQ(program.control("device_tab_switch").selected_item(), kNoMousePage);
}

TEST(DesktopProgram, AMouseTheUserMayNotOpenShowsTheRuleCommandsInsteadOfNoMouse) {
  RunningProgram program({.links = 0, .tray = false});
  vm_fault_refuse_open(VM_LINK_CABLE, EACCES);
  vm_plug(VM_LINK_CABLE);
  program.pump();
  program.time().advance(kArrivalWaitMs);
  program.pump();
  vm_fault_refuse_open(VM_LINK_CABLE, 0);

  EXPECT_EQ(program.control("device_tab_switch").selected_item(), kNoMousePage);
  EXPECT_FALSE(program.control("no_mouse_checks").is_visible());
  EXPECT_TRUE(program.control("no_access_text").is_visible());
  EXPECT_TRUE(program.control("no_access_commands").shown_text().contains("70-norvane-mouse.rules' /etc/udev/rules.d/"));
}

TEST(DesktopProgram, TheBatteryReachesTheTooltipAndFallingOnBatteryIsAnnouncedAt15And5) {
  RunningProgram program({.links = VM_LINK_BIT(VM_LINK_24G), .tray = false});
  const QString name = resources().text("mouse_name_text");
  for (int level : {57, 30, 16, 15, 12, 15, 6, 5, 4}) {
    vm_send_battery(0, level);
    program.pump();
    if (level == 57) {
      EXPECT_EQ(program.window().tray_tooltip(), name + " — 57 %");
    }
  }
  ASSERT_EQ(program.notices().size(), 2u);
  EXPECT_TRUE(program.notices()[0].text.startsWith("15 %"));
  EXPECT_TRUE(program.notices()[1].text.contains("5 %"));
}

TEST(DesktopProgram, WhileTheWindowIsHiddenTheChargingSweepStopsAndTheTooltipKeepsItsText) {
  RunningProgram program;
  program.settle();
  vm_send_battery(3, 40);  // charging on the cable
  program.pump();
  const WindowBase* window = &program.window();
  auto progress = [&] { return program.control(kPowerProgress).value(); };
  ASSERT_GE(program.time().remaining(window, TIMER_CHARGING), 0) << "the sweep runs";
  const QString tooltip = program.window().tray_tooltip();
  EXPECT_TRUE(tooltip.endsWith("charging"));

  program.window().hide();
  program.pump();
  const int swept = progress();
  program.time().advance(1000);
  program.pump();
  EXPECT_EQ(program.time().remaining(window, TIMER_CHARGING), -1);
  EXPECT_EQ(progress(), swept) << "nothing is drawn while hidden";
  EXPECT_EQ(program.window().tray_tooltip(), tooltip);

  program.window().minimize();  // on the task bar only: still nothing to draw
  program.pump();
  EXPECT_EQ(program.time().remaining(window, TIMER_CHARGING), -1);

  program.window().bring_to_front();
  program.pump();
  program.time().advance(90);
  EXPECT_NE(progress(), swept) << "the sweep goes on when the window is back";
}

// The texts a control cannot show in full at its present size.
QStringList clipped_texts(QWidget& window) {
  QStringList clipped;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->wordWrap() || label->text().isEmpty() || !label->pixmap().isNull()) continue;
    if (Qt::mightBeRichText(label->text())) continue;
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    if (needed > label->contentsRect().width()) clipped << label->objectName() + ": " + label->text();
  }
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->isChecked()) option.state |= QStyle::State_On;
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    int needed = button->fontMetrics().horizontalAdvance(button->text());
    if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
    if (needed > contents.width()) clipped << button->objectName() + ": " + button->text();
  }
  return clipped;
}

TEST(DesktopProgram, EveryLabelAndButtonShowsItsWholeTextAtTheLongestValues) {
  RunningProgram program({.links = VM_LINK_BIT(VM_LINK_8K), .style_sheet = true});  // the most rate options
  vm_send_battery(0, 80);  // the receiver's mouse is online
  program.pump();
  for (QCheckBox* toggle : program.window().native()->findChildren<QCheckBox*>()) {
    if (toggle->objectName().startsWith("ms_1_check_") && toggle->isVisible() && !toggle->isChecked()) toggle->click();
  }
  program.pump();
  program.slider(kSleepTimerSlider).setValue(program.slider(kSleepTimerSlider).maximum());
  program.slider(kLightOffSlider).setValue(program.slider(kLightOffSlider).maximum());
  program.pump();
  QWidget& window = *program.window().native();
  EXPECT_EQ(clipped_texts(window).join("\n").toStdString(), "");

  // Each option in turn, checked.
  for (int rate = 1; rate <= 7; ++rate) {
    QAbstractButton* button = &option(program, numbered(kRateHsOptionPrefix, rate).c_str());
    ASSERT_TRUE(button->isVisible()) << rate;
    button->click();
    program.pump();
    EXPECT_EQ(clipped_texts(window).join("\n").toStdString(), "") << "option " << rate;
  }
}

}  // namespace
}  // namespace norvane::testing
