// The settings page in the running program, driven through its controls the way a
// user drives it, against the virtual mouse on the cable.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <cstring>

#include "app/key_names.h"
#include "core/messages.h"
#include "core/profile_defaults.h"
#include "settings/page_controls.h"
#include "storage/record_names.h"
#include "tests/macros/keymaps.h"
#include "tests/program/running_program.h"
#include "tests/support/modal_driver.h"

namespace norvane::testing {
namespace {

using namespace page_controls;

ProfileRecord named_profile(std::u16string_view name) {
  ProfileRecord record;
  std::memset(&record, 0, sizeof record);
  reset_profile_defaults(record);
  set_field_name(record.name, name);
  return record;
}

void leave(QWidget& widget) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&widget, &out);
}

QString popup_text() {
  const auto popups = visible_windows_with("dpi_label");
  if (popups.size() != 1) return QStringLiteral("<%1 popups>").arg(popups.size());
  return popups.front()->findChild<QLabel*>(QStringLiteral("dpi_label"))->text();
}

TEST(PageInTheProgram, ABrightnessDragEndsInOneApplyWithTheLastValue) {
  RunningProgram program;
  program.settle();
  const int applies = program.applies();

  QAbstractSlider& brightness = program.slider(kBrightnessSlider);
  for (int value : {7, 6, 5, 4, 3, 2, 1, 2, 3, 4}) {
    brightness.setValue(value);
    program.time().advance(45);  // ten moves within 450 ms
    program.pump();
  }
  EXPECT_EQ(program.applies(), applies);
  // The last move came 405 ms in and was handled by 450 ms: the request is due 500 ms
  // after it, not before 900 ms and not after 950 ms.
  program.time().advance(450);
  program.pump();
  EXPECT_EQ(program.applies(), applies) << "the request waits until the slider has rested 500 ms";
  program.time().advance(50);
  ASSERT_TRUE(program.wait_for_applies(applies + 1));
  program.time().advance(1000);
  ASSERT_TRUE(program.drain());

  EXPECT_EQ(program.applies(), applies + 2) << "one for the drag, one to drain the worker";
  const MouseReports sent = program.mouse_since_settle();
  EXPECT_EQ(sent.light, 1u);
  EXPECT_EQ(sent.frames, 1u);
  EXPECT_EQ(program.mouse().light_brightness, 4);
  EXPECT_EQ(program.stored_profile(0).light_brightness, 4);
}

TEST(PageInTheProgram, DpiLevelsAndTypedValues) {
  RunningProgram program;
  program.settle();
  int applies = program.applies();

  // Choosing a level sends the DPI report at once.
  qobject_cast<QAbstractButton*>(program.control("ms_1_option_dpi_step_3").widget())->click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.mouse_since_settle().dpi, 1u);
  EXPECT_EQ(program.mouse_since_settle().frames, 1u);
  EXPECT_EQ(program.mouse().current_level, 2);

  // Typing keeps digits only; leaving the edit stores the value but sends nothing.
  QLineEdit& edit = program.edit("ms_1_edit_dpi_2");
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("12a3"));
  EXPECT_EQ(edit.text(), QStringLiteral("123"));
  leave(edit);
  EXPECT_EQ(edit.text(), QStringLiteral("100"));
  EXPECT_EQ(program.slider("ms_1_slider_dpi_2").value(), 2);
  EXPECT_EQ(program.control("ms_1_label_dpi_2").text(), QStringLiteral("100"));
  program.time().advance(2000);
  program.pump();
  EXPECT_EQ(program.applies(), applies);
  EXPECT_EQ(program.mouse_since_settle().frames, 1u);

  program.control(kApplyDpiButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), applies + 1) << "leaving the edit asked for no apply";
  EXPECT_EQ(program.mouse_since_settle().dpi, 2u);
  EXPECT_EQ(program.mouse_since_settle().frames, 2u);
  EXPECT_EQ(program.mouse().dpi_units[1], 2);
  EXPECT_EQ(program.mouse().dpi_cpi[1], 100u);

  // The DPI reset brings back the default levels and sends them.
  applies = program.applies();
  program.control(kResetDpiButton).click();
  ASSERT_TRUE(program.wait_for_applies(applies + 1));
  EXPECT_EQ(edit.text(), QStringLiteral("800"));
  EXPECT_EQ(program.slider("ms_1_slider_dpi_2").value(), 16);
  EXPECT_EQ(program.mouse().dpi_units[1], 16);
  EXPECT_EQ(program.mouse().current_level, 1);
}

TEST(PageInTheProgram, TheLightingModeDecidesWhichPanelsShow) {
  RunningProgram program;
  auto shown = [&](const char* name) { return program.control(name).is_visible(); };
  auto* combo = qobject_cast<QComboBox*>(program.control(kLightCombo).widget());
  ASSERT_NE(combo, nullptr);

  combo->setCurrentIndex(2);
  EXPECT_FALSE(shown(kBrightnessPanel));
  EXPECT_TRUE(shown(kSpeedPanel));
  EXPECT_TRUE(shown(kLightColorPanel));

  combo->setCurrentIndex(0);
  EXPECT_FALSE(shown(kBrightnessPanel));
  EXPECT_FALSE(shown(kSpeedPanel));
  EXPECT_FALSE(shown(kLightColorPanel));

  // The mode goes to the mouse 200 ms after the last choice, in one report.
  program.settle();
  const int applies = program.applies();
  combo->setCurrentIndex(1);
  program.time().advance(100);
  combo->setCurrentIndex(7);
  program.time().advance(199);
  program.pump();
  EXPECT_EQ(program.applies(), applies);
  program.time().advance(1);
  ASSERT_TRUE(program.wait_for_applies(applies + 1));
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), applies + 2);
  EXPECT_EQ(program.mouse_since_settle().light, 1u);
  EXPECT_EQ(program.mouse().light_mode, 7);
}

TEST(PageInTheProgram, TheMousesDpiButtonShowsThePopupAndIsSavedNotSentBack) {
  RunningProgram program;
  program.settle();  // the mouse is at level 2 of the profile

  vm_press_dpi_button();
  program.pump();
  EXPECT_EQ(popup_text(), QStringLiteral("DPI :1600"));  // level 3: 32 x 50
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(program.control("ms_1_option_dpi_step_3").widget())->isChecked());
  EXPECT_EQ(program.stored_profile(0).current_dpi_level, 2);

  program.time().advance(1500);
  program.pump();
  vm_press_dpi_button();
  program.pump();
  EXPECT_EQ(popup_text(), QStringLiteral("DPI :3200"));  // level 4, the same popup
  program.time().advance(1999);
  program.pump();
  EXPECT_EQ(visible_windows_with("dpi_label").size(), 1u);
  program.time().advance(1);
  program.pump();
  EXPECT_TRUE(visible_windows_with("dpi_label").empty());

  EXPECT_EQ(program.stored_profile(0).current_dpi_level, 3);
  program.time().advance(1000);
  program.pump();
  EXPECT_EQ(program.mouse_since_settle().frames, 0u) << "nothing goes back to the mouse";
}

TEST(PageInTheProgram, UnpluggingTheMouseHidesTheWindowAndOpeningItWarns) {
  RunningProgram program;
  EXPECT_TRUE(program.window().is_visible());

  vm_unplug(VM_LINK_CABLE);
  program.pump();
  EXPECT_FALSE(program.window().is_visible());

  ModalDriver driver;
  QString message;
  driver.on_next("MsgWnd", [&](WindowBase& box) {
    message = box.find(QStringLiteral("warning")).text();
    box.find(QStringLiteral("btn_ok")).click();
  });
  program.window().post_message(UM_ACTIVATE);
  program.pump();
  EXPECT_EQ(driver.seen(), QStringList{"MsgWnd"});
  EXPECT_EQ(message, QStringLiteral("no_device_text"));
  EXPECT_FALSE(program.window().is_visible());
}

TEST(PageInTheProgram, RestoringTheDefaultsAsksKeepsTheNameAndSendsEverySection) {
  RunningProgram program({.stored_profiles = {named_profile(u"Work")}});
  program.settle();
  int applies = program.applies();
  program.slider(kBrightnessSlider).setValue(3);
  program.time().advance(500);
  ASSERT_TRUE(program.wait_for_applies(++applies));

  ModalDriver driver;
  driver.click("MsgWnd", "btn_cancel");
  program.control(kResetButton).click();
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), ++applies) << "cancelled: nothing changes, only the draining apply";
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 3);

  QString message;
  driver.on_next("MsgWnd", [&](WindowBase& box) {
    message = box.find(QStringLiteral("warning")).text();
    box.find(QStringLiteral("btn_ok")).click();
  });
  program.control(kProfileResetButton).click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(message, QStringLiteral("restore_text"));
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 8);

  const MouseReports sent = program.mouse_since_settle();
  EXPECT_EQ(sent.opener, 1u);
  EXPECT_EQ(sent.dpi, 1u);
  EXPECT_EQ(sent.light, 2u);  // the drag, then the restore
  EXPECT_EQ(sent.rate, 1u);
  EXPECT_EQ(sent.buttons, 1u);
  EXPECT_EQ(program.mouse().light_brightness, 8);
  EXPECT_EQ(field_name(program.stored_profile(0).name), u"Work");
}

TEST(PageInTheProgram, ShortcutCaptionsShowKeyNamesInTheLayoutInUse) {
  ProfileRecord record = named_profile(u"Keys");
  record.buttons[3].function = kFunctionShortcut;
  record.buttons[3].shortcut_key = 0x14;  // the key where US keyboards have Q
  record.buttons[3].shortcut_modifiers = kModCtrl;
  record.buttons[4].function = kFunctionShortcut;
  record.buttons[4].shortcut_key = 0x3A;
  std::shared_ptr<const KeyboardLayout> layout = xkb_layout("fr");
  RunningProgram program(
      {.stored_profiles = {record}, .key_name = key_names([&layout] { return layout; })});
  EXPECT_EQ(program.control("ms_1_btn_key_4").shown_text(), QStringLiteral("Ctrl+A"));  // AZERTY
  EXPECT_EQ(program.control("ms_1_btn_key_5").shown_text(), QStringLiteral("F1"));

  layout = xkb_layout("us");  // a layout switch shows on the next refresh
  program.page().refresh_page();
  EXPECT_EQ(program.control("ms_1_btn_key_4").shown_text(), QStringLiteral("Ctrl+Q"));
}

TEST(PageInTheProgram, EverySelectionInTheProfileListSwitchesAndSendsTheWholeProfile) {
  ProfileRecord play = named_profile(u"Play");
  play.light_mode = 1;
  play.light_brightness = 3;
  play.current_dpi_level = 4;
  RunningProgram program({.stored_profiles = {named_profile(u"Work"), play}});
  auto* list = qobject_cast<QListWidget*>(program.control(kProfileList).widget());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(program.control(kProfileList).row_text(1), QStringLiteral("Play"));
  EXPECT_EQ(list->currentRow(), 0);
  program.settle();
  int applies = program.applies();

  // The first selection after start-up switches like every other.
  list->setCurrentRow(1);
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 3);
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(program.control("ms_1_option_dpi_step_5").widget())->isChecked());
  ASSERT_TRUE(program.wait_for_applies(++applies));
  MouseReports sent = program.mouse_since_settle();
  EXPECT_EQ(sent.opener, 1u);
  EXPECT_EQ(sent.dpi, 1u);
  EXPECT_EQ(sent.light, 1u);
  EXPECT_EQ(sent.rate, 1u);
  EXPECT_EQ(sent.buttons, 1u);
  EXPECT_EQ(program.mouse().light_mode, 1);
  EXPECT_EQ(program.mouse().light_brightness, 3);
  EXPECT_EQ(program.mouse().current_level, 4);
  EXPECT_EQ(program.stored_selected_index(), 1);

  list->setCurrentRow(0);
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.mouse_since_settle().opener, 2u);
  EXPECT_EQ(program.mouse().light_mode, 5);
  EXPECT_EQ(program.slider(kBrightnessSlider).value(), 8);
  EXPECT_EQ(program.stored_selected_index(), 0);
}


TEST(PageInTheProgram, ColourButtonsChangeTheRecordOnlyWhenConfirmed) {
  RunningProgram program;
  program.settle();
  int applies = program.applies();
  ModalDriver driver;
  auto choose_swatch_and = [](const char* swatch, const char* close) {
    return [swatch, close](WindowBase& dialog) {
      dialog.find(QString::fromLatin1(swatch)).click();
      dialog.find(QString::fromLatin1(close)).click();
    };
  };

  driver.on_next("DpiColorWnd", choose_swatch_and("mouse_dpi_color_11", "confirm_btn"));
  program.control("ms_1_btn_dpi_color_1").click();
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(program.control("ms_1_btn_dpi_color_1").bk_color(), 0xFFFF0000u);
  EXPECT_EQ(program.stored_profile(0).dpi_color[0], 0x0000FFu);
  const VmMouseState mouse = program.mouse();
  EXPECT_EQ(mouse.dpi_colors[0][0], 255);
  EXPECT_EQ(mouse.dpi_colors[0][1], 0);
  EXPECT_EQ(mouse.dpi_colors[0][2], 0);

  const uint32_t light_before = program.control(kLightColorButton).bk_color();
  driver.on_next("DpiColorWnd", choose_swatch_and("mouse_dpi_color_5", "cancel_btn"));
  program.control(kLightColorButton).click();
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(driver.seen().size(), 2);
  EXPECT_EQ(program.applies(), applies + 1) << "only the draining apply";
  EXPECT_EQ(program.control(kLightColorButton).bk_color(), light_before);
  EXPECT_EQ(program.mouse_since_settle().light, 0u);
}

TEST(PageInTheProgram, SectionsOpenAndCloseAndALateOneIsBroughtIntoView) {
  RunningProgram program;
  auto* dpi = qobject_cast<QAbstractButton*>(program.control("ms_1_check_dpi").widget());
  auto* wakeup = qobject_cast<QAbstractButton*>(program.control("ms_1_check_wakeup").widget());
  auto* area = qobject_cast<QScrollArea*>(program.control(kSettingArea).widget());
  ASSERT_TRUE(dpi && wakeup && area);
  if (!dpi->isChecked()) dpi->click();
  EXPECT_TRUE(program.control("ms_1_ver_dpi").is_visible());
  area->verticalScrollBar()->setValue(0);

  wakeup->click();
  QWidget* body = program.control("ms_1_hor_wakeup").widget();
  EXPECT_TRUE(body->isVisible());
  program.time().advance(10);
  program.pump();
  const QRect in_view(body->mapTo(area->viewport(), QPoint(0, 0)), body->size());
  EXPECT_GT(area->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(area->viewport()->rect().contains(in_view)) << in_view.y() << " " << area->viewport()->height();

  wakeup->click();
  EXPECT_FALSE(body->isVisible());
  dpi->click();
  EXPECT_FALSE(program.control("ms_1_ver_dpi").is_visible());
}

}  // namespace
}  // namespace norvane::testing
