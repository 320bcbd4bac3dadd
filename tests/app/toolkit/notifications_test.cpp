// Notifications: user actions raise the right type with the right sender; changes made
// through Control stay quiet unless asked; page routing by `virtualwnd`.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "app/toolkit/color_palette.h"
#include "tests/app/toolkit/test_window.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char kControls[] = R"(
 <item><widget class="QPushButton" name="btn_apply"><property name="text"><string>apply</string></property></widget></item>
 <item><widget class="QCheckBox" name="ms_1_check_dpi"/></item>
 <item><widget class="QRadioButton" name="opt_1"><property name="checked"><bool>true</bool></property></widget></item>
 <item><widget class="QRadioButton" name="opt_2"/></item>
 <item><widget class="QPushButton" name="rate_1"><property name="group" stdset="0"><string>rate</string></property></widget></item>
 <item><widget class="QPushButton" name="rate_2"><property name="group" stdset="0"><string>rate</string></property></widget></item>
 <item><widget class="QComboBox" name="combo">
   <item><property name="text"><string>a</string></property></item>
   <item><property name="text"><string>b</string></property></item>
   <item><property name="text"><string>c</string></property></item>
 </widget></item>
 <item><widget class="QListWidget" name="list"/></item>
 <item><widget class="QSlider" name="slider"><property name="orientation"><enum>Qt::Horizontal</enum></property>
   <property name="maximum"><number>100</number></property></widget></item>
 <item><widget class="QLineEdit" name="edit"/></item>
 <item><widget class="ColorPalette" name="ColorPallet"><property name="minimumSize"><size><width>120</width><height>80</height></size></property></widget></item>
 <item><widget class="QWidget" name="page_box">
   <property name="virtualwnd" stdset="0"><string>MS_1_Page</string></property>
   <layout class="QVBoxLayout" name="page_layout">
     <item><widget class="QPushButton" name="ms_1_apply_btn"/></item>
   </layout>
 </widget></item>
)";

class NotificationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("n.xml", ui_document("n", kControls, 400, 600));
    ASSERT_TRUE(window.create(nullptr, "n", WindowStyle::kVisible));
    for (int i = 0; i < 3; ++i) window.find("list").add_label_row(QString("row %1").arg(i), 22);
    flush_events();
    window.notifications.received.clear();
  }
  template <typename T>
  T* widget(const char* name) {
    return qobject_cast<T*>(window.find(name).widget());
  }
  std::vector<Recorded>& got() { return window.notifications.received; }

  TempSkinFolder skins;
  TestWindow window{"N", "n.xml"};
};

TEST_F(NotificationsTest, UserActionsRaiseTheirTypeWithTheSender) {
  QTest::mouseClick(widget<QPushButton>("btn_apply"), Qt::LeftButton);
  // Check boxes and radio buttons react on their indicator.
  auto on_indicator = [](QWidget* w) { return QPoint(6, w->height() / 2); };
  QTest::mouseClick(widget<QCheckBox>("ms_1_check_dpi"), Qt::LeftButton, {}, on_indicator(widget<QCheckBox>("ms_1_check_dpi")));
  QTest::mouseClick(widget<QCheckBox>("ms_1_check_dpi"), Qt::LeftButton, {}, on_indicator(widget<QCheckBox>("ms_1_check_dpi")));
  QTest::mouseClick(widget<QRadioButton>("opt_2"), Qt::LeftButton, {}, on_indicator(widget<QRadioButton>("opt_2")));
  QTest::mouseClick(widget<QPushButton>("rate_2"), Qt::LeftButton);
  QTest::mouseClick(widget<QPushButton>("rate_2"), Qt::LeftButton);  // already selected: nothing
  widget<QComboBox>("combo")->setCurrentIndex(2);                      // as the user's pick does
  widget<QListWidget>("list")->setCurrentRow(1);
  widget<QSlider>("slider")->setFocus();
  QTest::keyClick(widget<QSlider>("slider"), Qt::Key_Right);

  const std::vector<Recorded> expected{
      {"click", "btn_apply", 0, 0},
      {"checkclick", "ms_1_check_dpi", 1, 0},
      {"checkclick", "ms_1_check_dpi", 0, 0},
      {"selectchanged", "opt_2", 1, 0},
      {"selectchanged", "rate_2", 1, 0},
      {"itemselect", "combo", 2, 0},
      {"itemselect", "list", 1, -1},
      {"valuechanged", "slider", 1, 0},
  };
  std::vector<Recorded> without_focus_and_pointer;
  for (const auto& r : got()) {
    if (r.type != "setfocus" && r.type != "killfocus" && r.type != "mouseenter" && r.type != "mouseleave") {
      without_focus_and_pointer.push_back(r);
    }
  }
  EXPECT_EQ(without_focus_and_pointer, expected);
}

TEST_F(NotificationsTest, EditRaisesTextReturnAndFocusNotifications) {
  auto* edit = widget<QLineEdit>("edit");
  edit->activateWindow();
  edit->setFocus();
  QTest::keyClicks(edit, "12");
  QTest::keyClick(edit, Qt::Key_Return);
  widget<QSlider>("slider")->setFocus();

  std::vector<QString> types;
  for (const auto& r : got()) {
    if (r.sender == "edit") types.push_back(r.type);
  }
  const std::vector<QString> expected{"setfocus", "textchanged", "textchanged", "return", "killfocus"};
  EXPECT_EQ(types, expected);
}

TEST_F(NotificationsTest, ProgrammaticChangesAreQuiet) {
  window.find("opt_2").set_checked(true);
  window.find("rate_1").set_checked(true);
  window.find("ms_1_check_dpi").set_checked(true);
  window.find("combo").select_item(1);
  window.find("list").select_item(2);
  window.find("slider").set_value(40);
  window.find("edit").set_text("123");
  window.find("ColorPallet").set_color(0xFF112233);
  flush_events();
  EXPECT_TRUE(got().empty());

  EXPECT_TRUE(window.find("opt_2").is_checked());
  EXPECT_FALSE(window.find("opt_1").is_checked());  // options stay exclusive
  EXPECT_EQ(window.find("combo").selected_item(), 1);
  EXPECT_EQ(window.find("list").selected_item(), 2);
  EXPECT_EQ(window.find("slider").value(), 40);
  EXPECT_EQ(window.find("ColorPallet").color(), 0xFF112233u);

  // Deselecting an option quietly leaves the group with none selected.
  window.find("opt_2").set_checked(false);
  EXPECT_FALSE(window.find("opt_2").is_checked());
  EXPECT_TRUE(got().empty());

  // After a quiet selection the next user pick reports the right previous row.
  widget<QListWidget>("list")->setCurrentRow(0);
  ASSERT_EQ(got().size(), 1u);
  EXPECT_EQ(got()[0], (Recorded{"itemselect", "list", 0, 2}));
}

TEST_F(NotificationsTest, SelectionsMayAskForTheUsersNotification) {
  window.find("list").select_item(2, Notify::kRaise);
  window.find("list").select_item(2, Notify::kRaise);  // no change: nothing
  window.find("opt_2").set_checked(true, Notify::kRaise);
  window.find("ms_1_check_dpi").set_checked(true, Notify::kRaise);
  const std::vector<Recorded> expected{
      {"itemselect", "list", 2, -1},
      {"selectchanged", "opt_2", 1, 0},
      {"checkclick", "ms_1_check_dpi", 1, 0},
  };
  EXPECT_EQ(got(), expected);
}

TEST_F(NotificationsTest, ColorPaletteReportsDragAndRelease) {
  auto* palette = widget<ColorPalette>("ColorPallet");
  QTest::mousePress(palette, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(palette, Qt::LeftButton, {}, QPoint(5, 5));
  std::vector<QString> types;
  for (const auto& r : got()) {
    if (r.sender == "ColorPallet") types.push_back(r.type);
  }
  const std::vector<QString> expected{"colorchanged", "colorchangedbuttonup"};
  EXPECT_EQ(types, expected);
  EXPECT_EQ(static_cast<uint32_t>(got().back().wparam), palette->color());
  EXPECT_NE(palette->color(), 0xFFFFFFFFu);  // the top-left corner is saturated red
  EXPECT_EQ(palette->color() & 0xFF000000u, 0xFF000000u);
}

TEST_F(NotificationsTest, PageControlsNotifyThePageRegisteredUnderTheirName) {
  RecordingTarget page;
  window.add_virtual_window("MS_1_Page", &page);
  QTest::mouseClick(widget<QPushButton>("ms_1_apply_btn"), Qt::LeftButton);
  QTest::mouseClick(widget<QPushButton>("btn_apply"), Qt::LeftButton);
  ASSERT_EQ(page.of_type("click").size(), 1u);
  EXPECT_EQ(page.of_type("click")[0].sender, "ms_1_apply_btn");
  ASSERT_EQ(window.notifications.of_type("click").size(), 1u);
  EXPECT_EQ(window.notifications.of_type("click")[0].sender, "btn_apply");

  // Without the page, its controls' notifications reach the window.
  window.remove_virtual_window("MS_1_Page");
  QTest::mouseClick(widget<QPushButton>("ms_1_apply_btn"), Qt::LeftButton);
  EXPECT_EQ(page.of_type("click").size(), 1u);
  EXPECT_EQ(window.notifications.of_type("click").size(), 2u);
}

}  // namespace
