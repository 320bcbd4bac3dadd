// Pop-up menus from menu skins report the chosen item to the owner as message 1027.

#include <gtest/gtest.h>

#include <QMenu>

#include "app/toolkit/popup_menu.h"
#include "app/toolkit/tray_icon.h"

#include <QSystemTrayIcon>
#include "tests/app/toolkit/test_window.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char kMenu[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="QMenu" name="traymenu">
  <property name="resourcetext" stdset="0"><bool>true</bool></property>
  <widget class="QMenu" name="ms_1_media">
   <property name="title"><string>media_text</string></property>
   <addaction name="ms_1_play"/>
  </widget>
  <addaction name="configuration"/>
  <addaction name="separator"/>
  <addaction name="ms_1_media"/>
  <addaction name="exit"/>
 <action name="configuration"><property name="text"><string>configuration_text</string></property>
   <property name="userdata" stdset="0"><string>cfg</string></property></action>
 <action name="exit"><property name="text"><string>exit_text</string></property></action>
 <action name="ms_1_play"><property name="text"><string>play_text</string></property>
   <property name="checkable"><bool>true</bool></property></action>
 </widget>
</ui>
)";

TEST(PopupMenuTest, ChosenItemReachesTheOwnerWithItsRecord) {
  test_app();
  TempSkinFolder skins;
  skins.write_language({{"configuration_text", "Configuration"}, {"exit_text", "Exit"}, {"play_text", "Play"}});
  skins.write("traymenu.xml", kMenu);
  skins.write("w.xml", ui_document("w", ""));
  TestWindow owner("Norvane", "w.xml");
  ASSERT_TRUE(owner.create(nullptr, "", WindowStyle::kNone));

  PopupMenu menu;
  ASSERT_TRUE(menu.open(owner.port(), "traymenu.xml", QPoint(100, 100)));
  EXPECT_EQ(menu.visible_item_count(), 3);
  EXPECT_FALSE(menu.choose("nothing"));
  ASSERT_TRUE(menu.choose("configuration"));
  ASSERT_TRUE(menu.choose("ms_1_play"));
  ASSERT_TRUE(run_events_until([&] { return owner.messages.size() == 2; }));

  ASSERT_EQ(owner.messages[0].id, UM_MENU_COMMAND);
  const MenuCommand* first = payload_of<MenuCommand>(owner.messages[0]);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->name, "configuration");
  EXPECT_EQ(first->user_data, "cfg");
  EXPECT_EQ(first->text, "Configuration");
  EXPECT_FALSE(first->checked);
  const MenuCommand* second = payload_of<MenuCommand>(owner.messages[1]);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->name, "ms_1_play");
  EXPECT_TRUE(second->checked);
  EXPECT_EQ(payload_of<MenuCommand>(owner.messages[0]), first);
  EXPECT_EQ(payload_of<int>(owner.messages[0]), nullptr);  // another type reads as nothing
}

TEST(PopupMenuTest, APlacedMenuOpensWhereItsPlacementPutsItForItsOwnSize) {
  test_app();
  TempSkinFolder skins;
  skins.write_language({{"configuration_text", "Configuration"}, {"exit_text", "Exit"}});
  skins.write("traymenu.xml", kMenu);
  PopupMenu menu;
  QSize told;
  ASSERT_TRUE(menu.open(nullptr, "traymenu.xml", [&told](QSize size) {
    told = size;
    return QPoint(120, 300 - size.height());  // lower edge at 300
  }));
  ASSERT_TRUE(menu.is_open());
  EXPECT_EQ(told, menu.menu()->size());
  EXPECT_EQ(menu.menu()->geometry().topLeft(), QPoint(120, 300 - told.height()));
  menu.close();
}

TEST(PopupMenuTest, SkinThatIsNotAMenuOpensNothing) {
  test_app();
  TempSkinFolder skins;
  skins.write("notmenu.xml", ui_document("notmenu", ""));
  PopupMenu menu;
  EXPECT_FALSE(menu.open(nullptr, "notmenu.xml", QPoint()));
  EXPECT_FALSE(menu.open(nullptr, "missing.xml", QPoint()));
  EXPECT_FALSE(menu.is_open());
  EXPECT_FALSE(menu.choose("exit"));
}

}  // namespace

TEST(TrayIconTest, ButtonReleasesReachTheOwnerAsTrayMessages) {
  test_app();
  TempSkinFolder skins;
  skins.write("w.xml", ui_document("w", ""));
  TestWindow owner("Norvane", "w.xml");
  ASSERT_TRUE(owner.create(nullptr, "", WindowStyle::kNone));
  TrayIcon tray;
  // The offscreen test platform has no notification area: no icon, no failure.
  EXPECT_EQ(tray.create(owner.port(), QIcon(), "tip"), QSystemTrayIcon::isSystemTrayAvailable());
  tray.report(kMouseLeftButtonUp);
  tray.report(kMouseRightButtonUp);
  ASSERT_TRUE(run_events_until([&] { return owner.messages.size() == 2; }));
  EXPECT_EQ(owner.messages[0].id, UM_TRAY_ICON);
  EXPECT_EQ(owner.messages[0].lparam, 514);
  EXPECT_EQ(owner.messages[1].lparam, 517);
}
