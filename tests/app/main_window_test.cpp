// The main window from the real res/ folder: skin, size, texts, the controls the shell
// binds, and the messages it handles.

#include "app/main_window.h"

#include <gtest/gtest.h>

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
