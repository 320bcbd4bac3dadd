// The macro selection dialog: the row it starts on, the modes and the repeat count edit,
// and the refusal of a macro without room.

#include "buttons/ui/select_macro_wnd.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/toolkit/resources.h"
#include "storage/record_names.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

namespace norvane::testing {
namespace {

MacroLibrary library_of(std::initializer_list<std::u16string_view> names) {
  MacroLibrary library;
  for (std::u16string_view name : names) {
    auto macro = std::make_unique<MacroRecord>();
    std::memset(macro.get(), 0, sizeof *macro);
    set_field_name(macro->name, name);
    library.push_back(std::move(macro));
  }
  return library;
}

ButtonSlot macro_slot(std::u16string_view name, int32_t stored_index, int32_t mode = 0, int32_t repeat = 1) {
  ButtonSlot slot{};
  slot.function = kFunctionMacro;
  set_field_name(slot.macro_name, name);
  slot.macro_list_index = stored_index;
  slot.macro_mode = mode;
  slot.macro_repeat = repeat;
  return slot;
}

void leave(Control control) {
  QFocusEvent event(QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(control.widget(), &event);
}

TEST(MacroDialogStart, TheRowOfTheSlotsMacroNameWinsOverTheStoredPosition) {
  const MacroLibrary library = library_of({u"Alpha", u"Beta", u"Gamma"});
  // Reordered since: the stored position names Alpha, the slot's macro is Gamma.
  EXPECT_EQ(macro_row_for_slot(library, macro_slot(u"gAMMA", 0)), 2);
  // Renamed or deleted: the stored position when the library still has it.
  EXPECT_EQ(macro_row_for_slot(library, macro_slot(u"Delta", 1)), 1);
  EXPECT_EQ(macro_row_for_slot(library, macro_slot(u"Delta", 3)), -1);
  EXPECT_EQ(macro_row_for_slot(library, macro_slot(u"", -1)), -1);

  const MacroChoice start = macro_dialog_start(library, macro_slot(u"beta", 2, 2, 9));
  EXPECT_EQ(start.index, 1);
  EXPECT_EQ(start.mode, 2);
  EXPECT_EQ(start.repeat, 9);
  // Out-of-range values of a damaged record start inside their ranges.
  const MacroChoice damaged = macro_dialog_start(library, macro_slot(u"Beta", 1, 7, 0));
  EXPECT_EQ(damaged.mode, 0);
  EXPECT_EQ(damaged.repeat, 1);
  // A button that is no macro button starts with nothing chosen.
  ButtonSlot other = macro_slot(u"Beta", 1, 2, 9);
  other.function = 2;
  const MacroChoice fresh = macro_dialog_start(library, other);
  EXPECT_EQ(fresh.index, -1);
  EXPECT_EQ(fresh.mode, 0);
  EXPECT_EQ(fresh.repeat, 1);
}

class MacroDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    ASSERT_TRUE(resources().load_language("lan.xml"));
  }
  void TearDown() override {
    flush_events();
    resources().shut_down();
  }

  std::unique_ptr<CMS_1_SelectMacro> open(MacroChoice start, MacroRoomCheck check = {}) {
    auto dialog = std::make_unique<CMS_1_SelectMacro>(library, start, std::move(check));
    EXPECT_TRUE(dialog->create(nullptr, QString(), WindowStyle::kPopup | WindowStyle::kVisible));
    return dialog;
  }
  QListWidget& list(CMS_1_SelectMacro& d) { return *qobject_cast<QListWidget*>(d.find("list_macro").widget()); }
  QLineEdit& count(CMS_1_SelectMacro& d) { return *qobject_cast<QLineEdit*>(d.find("edit_loop_time").widget()); }
  QAbstractButton& mode(CMS_1_SelectMacro& d, int n) {
    return *qobject_cast<QAbstractButton*>(d.find(QStringLiteral("repeat_%1").arg(n)).widget());
  }

  MacroLibrary library = library_of({u"Alpha", u"Beta", u"Gamma"});
};

TEST_F(MacroDialogTest, ShowsTheLibraryAndTheStartingChoice) {
  auto dialog = open({2, 1, 7});
  ASSERT_EQ(list(*dialog).count(), 3);
  EXPECT_EQ(dialog->find("list_macro").row_text(1), "Beta");
  EXPECT_EQ(list(*dialog).currentRow(), 2);
  EXPECT_TRUE(mode(*dialog, 2).isChecked());
  EXPECT_FALSE(dialog->find("hor_loop_time").is_visible()) << "the count belongs to mode 0";
  EXPECT_FALSE(dialog->find("list_empty_hint").is_visible());
  EXPECT_EQ(count(*dialog).text(), "7");

  mode(*dialog, 1).click();
  EXPECT_TRUE(dialog->find("hor_loop_time").is_visible());
  EXPECT_EQ(dialog->choice().mode, 0);
  list(*dialog).setCurrentRow(0);
  EXPECT_EQ(dialog->choice().index, 0);

  library.clear();
  auto empty = open({-1, 0, 1});
  EXPECT_EQ(list(*empty).count(), 0);
  EXPECT_EQ(list(*empty).currentRow(), -1);
  EXPECT_TRUE(empty->find("list_empty_hint").is_visible());
}

TEST_F(MacroDialogTest, TheCountKeepsDigitsWhileTypedAndIsClampedWhenLeft) {
  auto dialog = open({0, 0, 1});
  QLineEdit& edit = count(*dialog);
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("1x2"));
  EXPECT_EQ(edit.text(), "12");
  edit.clear();
  edit.insert(QStringLiteral("4ab5c6"));  // pasted: only the digits stay, in order
  EXPECT_EQ(edit.text(), "456");
  EXPECT_EQ(edit.cursorPosition(), 3);
  leave(Control(&edit));
  EXPECT_EQ(edit.text(), "255");
  EXPECT_EQ(dialog->choice().repeat, 255);

  for (const auto& [typed, shown] : {std::pair{"", "1"}, std::pair{"0", "1"}, std::pair{"300", "255"},
                                     std::pair{"255", "255"}, std::pair{"42", "42"}}) {
    edit.setText(QString::fromLatin1(typed));
    leave(Control(&edit));
    EXPECT_EQ(edit.text(), QString::fromLatin1(shown)) << typed;
  }
  EXPECT_EQ(dialog->choice().repeat, 42);

  // Mode 2 hides the count; the last accepted count stays the choice.
  mode(*dialog, 3).click();
  EXPECT_EQ(dialog->choice().mode, 2);
  EXPECT_EQ(dialog->choice().repeat, 42);
}

TEST_F(MacroDialogTest, AMacroWithoutRoomIsRefusedAndTheDialogStaysOpen) {
  std::vector<int> asked;
  auto dialog = open({-1, 0, 1}, [&](const MacroChoice& c) -> std::optional<MacroRefusal> {
    asked.push_back(c.index);
    if (c.index == 2) return MacroRefusal{1, {2, 6, 7}};
    if (c.index == 1) return MacroRefusal{3, {}};
    return std::nullopt;
  });
  ModalDriver driver;
  QStringList messages;
  for (int i = 0; i < 2; ++i) {
    driver.on_next("MsgWnd", [&](WindowBase& box) {
      messages << box.find("warning").shown_text();
      box.find("btn_ok").click();
    });
  }

  list(*dialog).setCurrentRow(2);
  dialog->find("btn_ok").click();
  list(*dialog).setCurrentRow(1);
  dialog->find("btn_ok").click();
  EXPECT_TRUE(dialog->is_visible());
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[0].contains("macro of button 2")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("Buttons with room for it: 3, 7, 8.")) << messages[0].toStdString();
  EXPECT_TRUE(messages[1].contains("No other button has room for it while button 4 keeps its macro"))
      << messages[1].toStdString();

  list(*dialog).setCurrentRow(0);
  dialog->find("btn_ok").click();
  EXPECT_FALSE(dialog->is_visible());
  EXPECT_EQ(asked, (std::vector<int>{2, 1, 0}));
}

TEST_F(MacroDialogTest, ConfirmingWithNoMacroChosenAsksNothingAndGivesNoMacro) {
  ModalDriver driver;
  driver.click("MS_1_SelectMacro", "btn_ok");
  bool asked = false;
  const std::optional<MacroChoice> choice = run_select_macro_dialog(nullptr, library, {-1, 0, 1}, [&](const MacroChoice&) {
    asked = true;
    return std::optional<MacroRefusal>();
  });
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->index, -1);
  EXPECT_FALSE(asked);

  driver.click("MS_1_SelectMacro", "btn_exit");
  EXPECT_FALSE(run_select_macro_dialog(nullptr, library, {1, 0, 1}, {}).has_value());
}

}  // namespace
}  // namespace norvane::testing
