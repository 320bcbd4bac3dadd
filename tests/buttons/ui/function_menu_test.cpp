// The button-function menu: where it opens, and that it offers every function of the
// table exactly once.

#include "buttons/ui/function_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <map>
#include <memory>

#include "app/toolkit/resources.h"
#include "app/toolkit/skin_loader.h"
#include "buttons/button_function_table.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

namespace norvane::testing {
namespace {

class FunctionMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    ASSERT_TRUE(resources().load_language("lan.xml"));
  }
  void TearDown() override { resources().shut_down(); }
};

// Every action of the menu and its sub-menus, by name, with how often each occurs.
void count_actions(QMenu* menu, std::map<std::string, int>& seen) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    if (QMenu* sub = action->menu()) {
      EXPECT_FALSE(sub->title().isEmpty());
      count_actions(sub, seen);
    } else {
      ++seen[action->objectName().toStdString()];
      EXPECT_NE(action->text(), QString()) << action->objectName().toStdString();
    }
  }
}

TEST(FunctionMenuPlacement, BesideTheButtonOrRaisedAboveTheBottomOfTheScreen) {
  const QRect screen(0, 0, 1280, 800);
  const QRect button(300, 200, 160, 28);
  EXPECT_EQ(function_menu_origin(button, QSize(220, 400), screen), QPoint(460, 200));
  // Reaching the bottom: the lower edge comes to 25 pixels below the button's top.
  EXPECT_EQ(function_menu_origin(QRect(300, 500, 160, 28), QSize(220, 300), screen), QPoint(460, 225));
  EXPECT_EQ(function_menu_origin(QRect(300, 500, 160, 28), QSize(220, 299), screen), QPoint(460, 500));
  // Taller than the space above: it starts at the top of the screen.
  EXPECT_EQ(function_menu_origin(QRect(300, 500, 160, 28), QSize(220, 700), QRect(0, 40, 1280, 760)),
            QPoint(460, 40));
}

TEST_F(FunctionMenuTest, OffersEveryFunctionOfTheTableOnce) {
  std::unique_ptr<QWidget> root(load_skin(QString::fromLatin1(kFunctionMenuSkin)));
  auto* menu = qobject_cast<QMenu*>(root.get());
  ASSERT_NE(menu, nullptr);
  std::map<std::string, int> seen;
  count_actions(menu, seen);

  std::map<std::string, int> expected;
  for (const ButtonFunction& f : button_function_table()) {
    if (!f.menu_item.empty()) expected[std::string(f.menu_item)] = 1;
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(FunctionMenuTest, OpensBesideTheButtonAndReportsTheChosenItem) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QRect area = screen->availableGeometry();
  const QRect button(area.left() + 40, area.bottom() - 60, 150, 28);

  PopupMenu menu;
  ASSERT_TRUE(open_function_menu(menu, nullptr, button));
  ASSERT_TRUE(menu.is_open());
  const QRect shown = menu.menu()->geometry();
  EXPECT_EQ(shown.left(), button.left() + button.width());
  EXPECT_EQ(shown.bottom() + 1, button.top() + kRaisedMenuBottomBelowButtonTop) << "raised: the button is near the bottom";
  EXPECT_TRUE(menu.choose(QStringLiteral("ms_1_volume_up")));  // an item of a sub-menu
  menu.close();
}

}  // namespace
}  // namespace norvane::testing
