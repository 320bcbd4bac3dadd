// The main window from the real res/ folder: skin, size, texts, the controls the shell
// binds, and the messages it handles.

#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/toolkit/popup_menu.h"
#include "app/toolkit/resources.h"
#include "tests/support/qt_test_app.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(NORVANE_RES_DIR);
    window = std::make_unique<CMainWnd>();
    ASSERT_TRUE(window->create(nullptr, "", CMainWnd::kStyle, QSize(CMainWnd::kWidth, CMainWnd::kHeight)));
    window->center();
  }
  void TearDown() override {
    window.reset();
    resources().shut_down();
  }
  std::unique_ptr<CMainWnd> window;
};

TEST_F(MainWindowTest, LoadsTheMainSkinAtItsFixedSizeWithTranslatedTexts) {
  EXPECT_EQ(window->native()->size(), QSize(800, 572));
  EXPECT_EQ(window->native()->minimumSize(), window->native()->maximumSize());
  for (const char* name : {"skin_btn", "main_menu_btn", "min_btn", "exit_btn", "apply_progress", "device_tab_switch"}) {
    EXPECT_TRUE(window->find(name).valid()) << name;
  }
  const QString product = resources().text("mouse_name_text");
  EXPECT_FALSE(product.isEmpty());
  EXPECT_EQ(window->find("mouse_name_label").shown_text(), product);
  EXPECT_EQ(window->native()->windowTitle(), product);
  EXPECT_EQ(window->find("device_tab_switch").selected_item(), 0);
}

TEST_F(MainWindowTest, ActivationBringsTheHiddenWindowBack) {
  window->hide();
  ASSERT_TRUE(window->post_message(UM_ACTIVATE));
  ASSERT_TRUE(run_events_until([&] { return window->is_visible(); }));
}

// Posts a menu command as a pop-up menu does (the window releases the record).
void post_menu_item(CMainWnd& window, const char16_t* name) {
  auto* record = new MenuCommand();
  std::char_traits<char16_t>::copy(record->name, name, std::char_traits<char16_t>::length(name));
  window.port()->post(UM_MENU_COMMAND, reinterpret_cast<uintptr_t>(record), 0, [record](bool delivered) {
    if (!delivered) delete record;
  });
}

TEST_F(MainWindowTest, MenuItemsConfigurationAndExitInAnyLetterCase) {
  window->hide();
  post_menu_item(*window, u"Configuration");
  ASSERT_TRUE(run_events_until([&] { return window->is_visible(); }));
  post_menu_item(*window, u"unknown_item");
  post_menu_item(*window, u"EXIT");
  ASSERT_TRUE(run_events_until([&] { return !window->is_created(); }));
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ExitButtonHidesIntoTheTrayOrEndsWhereThereIsNone) {
  window->find("exit_btn").click();
  if (window->has_tray_icon()) {
    EXPECT_TRUE(window->is_created());
    EXPECT_FALSE(window->is_visible());
  } else {
    // Nothing could bring a hidden window back: the program ends instead.
    ASSERT_TRUE(run_events_until([&] { return !window->is_created(); }));
  }
}

}  // namespace
