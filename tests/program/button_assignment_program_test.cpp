// Button assignment in the running program against the virtual mouse: the function menu
// with its left-click rule, a shortcut captured by the input-capture library, a library
// macro, and macros that would overwrite each other in the mouse's memory.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstdlib>
#include <cstring>

#include "app/key_names.h"
#include "app/toolkit/popup_menu.h"
#include "buttons/button_assignment.h"
#include "core/profile_defaults.h"
#include "input_capture/hook_abi.h"
#include "storage/record_names.h"
#include "tests/macros/keymaps.h"
#include "tests/program/running_program.h"
#include "tests/support/modal_driver.h"

namespace norvane::testing {
namespace {

using Bytes = std::array<uint8_t, 3>;

Bytes mapped(const VmMouseState& mouse, int slot) { return {mouse.buttons[slot][0], mouse.buttons[slot][1], mouse.buttons[slot][2]}; }

KeyNameFn us_key_names() {
  static const std::shared_ptr<const KeyboardLayout> us = xkb_layout("us");
  return key_names([] { return us; });
}

MacroEvent event(uint8_t kind, uint8_t code, uint16_t delay, int32_t x = 0, int32_t y = 0) {
  MacroEvent e{};
  e.kind = kind;
  e.code = code;
  e.delay = delay;
  e.x = x;
  e.y = y;
  return e;
}

MacroRecord macro(std::u16string_view name, std::vector<MacroEvent> events) {
  MacroRecord m;
  std::memset(&m, 0, sizeof m);
  set_field_name(m.name, name);
  m.repeat = 1;
  m.event_count = static_cast<int32_t>(events.size());
  std::copy(events.begin(), events.end(), m.events);
  return m;
}

// 190 movements with long pauses: sixteen blocks of the mouse's macro memory.
MacroRecord long_macro(std::u16string_view name) {
  return macro(name, std::vector<MacroEvent>(kMaxMacroEvents, event(kKindMove, kCodeMouseMove, 250, 3, -2)));
}

MacroRecord short_macro(std::u16string_view name) {
  return macro(name, {event(kKindPress, 4, 30), event(kKindRelease, 4, 40)});
}

void focus(QWidget* widget, QEvent::Type type) {
  QFocusEvent e(type, Qt::OtherFocusReason);
  QApplication::sendEvent(widget, &e);
}

// Clicks `control` of `window` once the events queued before have been handled.
void click_later(WindowBase& window, const char* control) {
  QMetaObject::invokeMethod(
      window.native(), [&window, control] { window.find(QString::fromLatin1(control)).click(); },
      Qt::QueuedConnection);
}

QListWidget& macro_list(WindowBase& dialog) { return *qobject_cast<QListWidget*>(dialog.find("list_macro").widget()); }

TEST(ButtonAssignmentInTheProgram, TheLastLeftClickCannotBeGivenAway) {
  RunningProgram program;
  program.settle();
  int applies = program.applies();
  ModalDriver driver;
  QString message;
  driver.on_next("MsgWnd", [&](WindowBase& box) {
    message = box.find("warning").text();
    box.find("btn_ok").click();
  });

  ASSERT_TRUE(program.choose_function(1, "ms_1_dpi_up"));
  EXPECT_EQ(message, "one_click_text");
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), ++applies) << "only the draining apply";
  EXPECT_EQ(mapped(program.mouse(), 0), (Bytes{2, 0, 0}));
  EXPECT_EQ(program.control("ms_1_btn_key_1").shown_text(), "Left click");

  // With button 2 a left click too, button 1 may take DPI up.
  ASSERT_TRUE(program.choose_function(2, "ms_1_click"));
  ASSERT_TRUE(program.wait_for_applies(++applies));
  ASSERT_TRUE(program.choose_function(1, "ms_1_dpi_up"));
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(mapped(program.mouse(), 0), (Bytes{14, 0, 0}));
  EXPECT_EQ(mapped(program.mouse(), 1), (Bytes{2, 0, 0}));
  EXPECT_EQ(program.control("ms_1_btn_key_1").shown_text(), "DPI up");
  EXPECT_EQ(program.stored_profile(0).buttons[0].function, 7);
  EXPECT_EQ(driver.seen(), QStringList{"MsgWnd"});

  // Buttons 13..18 are shown only.
  program.control("ms_1_btn_key_13").click();
  EXPECT_FALSE(program.page().function_menu()->is_open());
  program.control("ms_1_btn_key_12").click();
  EXPECT_TRUE(program.page().function_menu()->is_open());
  program.page().function_menu()->close();
}

class ShortcutInTheProgram : public ::testing::Test {
 protected:
  void SetUp() override { setenv("NORVANE_INPUT_CAPTURE", "window", 1); }  // the program's own windows
  void TearDown() override { unsetenv("NORVANE_INPUT_CAPTURE"); }
};

TEST_F(ShortcutInTheProgram, ACapturedCtrlShiftAReachesTheMouse) {
  RunningProgram program({.key_name = us_key_names(), .hook_library = NORVANE_HOOK_LIBRARY});
  ASSERT_NE(program.window().hook_functions().installhook, nullptr);
  program.settle();
  int applies = program.applies();

  ModalDriver driver;
  driver.on_next("ShortcutWnd", [](WindowBase& dialog) {
    dialog.find("check_flag_1").click();
    dialog.find("check_flag_2").click();
    QWidget* key = dialog.find("edit_key").widget();
    focus(key, QEvent::FocusIn);
    // Typed into the dialog's window; the library sees it there and posts message 1034.
    QTest::keyClick(dialog.native()->windowHandle(), Qt::Key_A);
    click_later(dialog, "btn_ok");
  });
  ASSERT_TRUE(program.choose_function(4, "ms_1_shortcut"));
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(mapped(program.mouse(), 3), (Bytes{17, kModCtrl | kModShift, 4}));
  EXPECT_EQ(program.control("ms_1_btn_key_4").shown_text(), "Ctrl+Shift+A");
  EXPECT_EQ(program.window().hook_functions().capturescope(), NV_CAPTURE_NONE) << "the hook is removed";

  // Opened again, it starts from the button's shortcut; cancelled, nothing changes.
  bool ctrl = false, shift = false, alt = true;
  QString key_text;
  driver.on_next("ShortcutWnd", [&](WindowBase& dialog) {
    auto box = [&](int n) {
      return qobject_cast<QAbstractButton*>(dialog.find(QStringLiteral("check_flag_%1").arg(n)).widget())->isChecked();
    };
    ctrl = box(1);
    shift = box(2);
    alt = box(3);
    key_text = dialog.find("edit_key").text();
    dialog.find("btn_cancel").click();
  });
  ASSERT_TRUE(program.choose_function(4, "ms_1_shortcut"));
  EXPECT_TRUE(ctrl);
  EXPECT_TRUE(shift);
  EXPECT_FALSE(alt);
  EXPECT_EQ(key_text, "A");

  // Confirmed with neither key nor modifier: button 2 stays a right click, nothing is sent.
  driver.click("ShortcutWnd", "btn_ok");
  ASSERT_TRUE(program.choose_function(2, "ms_1_shortcut"));
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), applies + 1) << "only the draining apply";
  EXPECT_EQ(mapped(program.mouse(), 1), (Bytes{3, 0, 0}));
  EXPECT_EQ(program.control("ms_1_btn_key_2").shown_text(), "Right click");
  EXPECT_EQ(driver.seen().size(), 3);
}

TEST(ButtonAssignmentInTheProgram, ALibraryMacroIsPlayedFromTheButtonsBlockWithItsModeAndCount) {
  const MacroRecord spray = macro(u"Spray", {event(kKindPress, 4, 30), event(kKindMove, kCodeMouseMove, 250, 300, -1),
                                             event(kKindRelease, 4, 40), event(kKindPress, kCodeLeftButton, 5)});
  RunningProgram program({.stored_macros = {short_macro(u"Jump"), spray}});
  program.settle();
  int applies = program.applies();

  ModalDriver driver;
  QStringList shown;
  driver.on_next("MS_1_SelectMacro", [&](WindowBase& dialog) {
    macro_list(dialog).setCurrentRow(1);
    auto* count = qobject_cast<QLineEdit*>(dialog.find("edit_loop_time").widget());
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("ab"));
    shown << count->text();
    for (const char* typed : {"", "0", "300", "x3y"}) {
      count->setText(QString::fromLatin1(typed));
      focus(count, QEvent::FocusOut);
      shown << count->text();
    }
    dialog.find("repeat_2").click();
    dialog.find("btn_ok").click();
  });
  ASSERT_TRUE(program.choose_function(2, "ms_1_select_macro"));
  EXPECT_EQ(shown, (QStringList{"", "1", "1", "255", "3"}));
  ASSERT_TRUE(program.wait_for_applies(++applies));

  EXPECT_EQ(mapped(program.mouse(), 1), (Bytes{18, 0, 5}));
  VmMacroInfo info{};
  VmMacroEvent played[kMaxMacroEvents]{};
  ASSERT_EQ(vm_macro_decode(5, &info, played, kMaxMacroEvents), VM_MACRO_OK);
  EXPECT_EQ(info.mode, 1);
  EXPECT_EQ(info.repeat, 3);
  ASSERT_EQ(info.event_count, spray.event_count);
  for (int i = 0; i < spray.event_count; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(played[i].code, spray.events[i].code);
    EXPECT_EQ(played[i].kind, spray.events[i].kind);
    EXPECT_EQ(played[i].delay, spray.events[i].delay);
    EXPECT_EQ(played[i].x, spray.events[i].x);
    EXPECT_EQ(played[i].y, spray.events[i].y);
  }
  EXPECT_EQ(program.control("ms_1_btn_key_2").shown_text(), "Macro: Spray");
  const ProfileRecord stored = program.stored_profile(0);
  EXPECT_EQ(field_name(stored.buttons[1].macro_name), u"Spray");
  EXPECT_EQ(stored.buttons[1].macro_list_index, 1);

  // Opened again it starts on that macro, mode and count.
  int row = -1;
  bool held = false;
  driver.on_next("MS_1_SelectMacro", [&](WindowBase& dialog) {
    row = macro_list(dialog).currentRow();
    held = qobject_cast<QAbstractButton*>(dialog.find("repeat_2").widget())->isChecked();
    dialog.find("btn_cancel").click();
  });
  ASSERT_TRUE(program.choose_function(2, "ms_1_select_macro"));
  EXPECT_EQ(row, 1);
  EXPECT_TRUE(held);
}

TEST(ButtonAssignmentInTheProgram, AMacroThatWouldOverwriteAnotherButtonsMacroIsRefused) {
  RunningProgram program({.stored_macros = {long_macro(u"Long"), short_macro(u"Short")}});
  program.settle();
  int applies = program.applies();
  ModalDriver driver;
  driver.on_next("MS_1_SelectMacro", [](WindowBase& dialog) {
    macro_list(dialog).setCurrentRow(1);
    dialog.find("btn_ok").click();
  });
  ASSERT_TRUE(program.choose_function(3, "ms_1_select_macro"));  // block 9
  ASSERT_TRUE(program.wait_for_applies(++applies));

  // Sixteen blocks from button 2's block 5 would run over button 3's macro.
  QString message;
  bool still_open = false;
  driver.on_next("MS_1_SelectMacro", [&](WindowBase& dialog) {
    macro_list(dialog).setCurrentRow(0);
    dialog.find("btn_ok").click();
    still_open = dialog.is_visible();
    dialog.find("btn_cancel").click();
  });
  driver.on_next("MsgWnd", [&](WindowBase& box) {
    message = box.find("warning").shown_text();
    box.find("btn_ok").click();
  });
  ASSERT_TRUE(program.choose_function(2, "ms_1_select_macro"));
  EXPECT_TRUE(still_open);
  EXPECT_TRUE(message.contains("the macro of button 3.")) << message.toStdString();
  EXPECT_TRUE(message.contains("Buttons with room for it: 3, 7, 8.")) << message.toStdString();
  ASSERT_TRUE(program.drain());
  EXPECT_EQ(program.applies(), applies + 1) << "only the draining apply";
  EXPECT_EQ(mapped(program.mouse(), 1), (Bytes{3, 0, 0}));
  EXPECT_EQ(program.stored_profile(0).buttons[1].function, 2);
}

TEST(ButtonAssignmentInTheProgram, AStoredProfileWithOverlappingMacrosSendsTheLaterButtonDisabled) {
  ProfileRecord record;
  std::memset(&record, 0, sizeof record);
  reset_profile_defaults(record);
  record.buttons[2].function = kFunctionLeftClick;
  copy_macro_into_slot(record.buttons[0], long_macro(u"Long"), {0, 0, 2});   // blocks 1..16
  copy_macro_into_slot(record.buttons[1], short_macro(u"Short"), {1, 0, 1});  // block 5

  ModalDriver driver;
  QString message;
  driver.on_next("MsgWnd", [&](WindowBase& box) {
    message = box.find("warning").shown_text();
    box.find("btn_ok").click();
  });
  RunningProgram program({.stored_profiles = {record}});
  program.settle();

  EXPECT_TRUE(message.startsWith("Button 2 was sent to the mouse as disabled")) << message.toStdString();
  EXPECT_TRUE(message.contains("the macro of button 1")) << message.toStdString();
  const VmMouseState mouse = program.mouse();
  EXPECT_EQ(mapped(mouse, 0), (Bytes{18, 0, 1}));
  EXPECT_EQ(mapped(mouse, 1), (Bytes{1, 0, 0}));
  VmMacroInfo info{};
  VmMacroEvent played[kMaxMacroEvents]{};
  ASSERT_EQ(vm_macro_decode(1, &info, played, kMaxMacroEvents), VM_MACRO_OK);
  EXPECT_EQ(info.event_count, kMaxMacroEvents) << "the first macro is whole";
  EXPECT_EQ(info.repeat, 2);
  EXPECT_EQ(program.stored_profile(0).buttons[1].function, kFunctionMacro) << "the profile is kept as it is";

  // The next apply of the same profile leaves the same button out without saying it again.
  int applies = program.applies();
  ASSERT_TRUE(program.choose_function(4, "ms_1_forward"));
  ASSERT_TRUE(program.wait_for_applies(++applies));
  EXPECT_EQ(mapped(program.mouse(), 3), (Bytes{6, 0, 0}));
  EXPECT_EQ(mapped(program.mouse(), 1), (Bytes{1, 0, 0}));
  EXPECT_EQ(driver.seen(), QStringList{"MsgWnd"});
}

}  // namespace
}  // namespace norvane::testing
