// The mouse wheel over a skin's value controls: a slider, combo box or spin box takes
// the wheel only while it has the keyboard focus; otherwise the wheel scrolls the area
// the control sits in, and the control's value and notifications stay as they were.

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QWheelEvent>

#include "tests/app/toolkit/test_window.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

// A scrolling area whose content is much taller than the window, with one control of
// each kind near its top, and a scroll bar of its own that must keep working.
const char kBody[] = R"(
 <item><widget class="QScrollArea" name="area">
  <property name="widgetResizable"><bool>true</bool></property>
  <widget class="QWidget" name="content">
   <layout class="QVBoxLayout" name="content_layout">
    <item><widget class="QSlider" name="slider">
      <property name="orientation"><enum>Qt::Horizontal</enum></property>
      <property name="maximum"><number>100</number></property>
      <property name="value"><number>50</number></property></widget></item>
    <item><widget class="QComboBox" name="combo">
      <item><property name="text"><string>a</string></property></item>
      <item><property name="text"><string>b</string></property></item>
      <item><property name="text"><string>c</string></property></item></widget></item>
    <item><widget class="QSpinBox" name="spin">
      <property name="maximum"><number>100</number></property>
      <property name="value"><number>50</number></property></widget></item>
    <item><widget class="QWidget" name="filler">
      <property name="minimumSize"><size><width>10</width><height>2000</height></size></property></widget></item>
   </layout>
  </widget>
 </widget></item>
)";

// The wheel turned one notch towards the user over the middle of `target`, as the
// window system delivers it.
void turn_wheel_over(QWidget* target) {
  const QPointF local(target->width() / 2.0, target->height() / 2.0);
  QWheelEvent wheel(local, target->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  QApplication::sendEvent(target, &wheel);
}

int value_of(QWidget* w) {
  if (auto* s = qobject_cast<QSlider*>(w)) return s->value();
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentIndex();
  if (auto* b = qobject_cast<QSpinBox*>(w)) return b->value();
  return -1;
}

class WheelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("wheel.xml", ui_document("root", kBody, 300, 200));
    ASSERT_TRUE(window.create(nullptr, "", WindowStyle::kVisible));
    flush_events();
    area = qobject_cast<QScrollArea*>(window.find("area").widget());
    ASSERT_NE(area, nullptr);
    ASSERT_GT(area->verticalScrollBar()->maximum(), 0);
  }

  TempSkinFolder skins;
  TestWindow window{"WheelWnd", "wheel.xml"};
  QScrollArea* area = nullptr;
};

TEST_F(WheelTest, WithoutFocusTheWheelScrollsTheAreaAndLeavesTheValue) {
  for (const char* name : {"slider", "combo", "spin"}) {
    SCOPED_TRACE(name);
    QWidget* control = window.find(name).widget();
    area->verticalScrollBar()->setValue(0);
    window.notifications.received.clear();
    const int before = value_of(control);

    turn_wheel_over(control);

    EXPECT_EQ(value_of(control), before);
    EXPECT_FALSE(control->hasFocus()) << "the wheel gives no focus";
    EXPECT_GT(area->verticalScrollBar()->value(), 0) << "the page scrolled instead";
    EXPECT_TRUE(window.notifications.of_type("valuechanged").empty());
    EXPECT_TRUE(window.notifications.of_type("itemselect").empty());
  }
}

TEST_F(WheelTest, WithFocusTheControlTakesTheWheel) {
  for (const char* name : {"slider", "combo", "spin"}) {
    SCOPED_TRACE(name);
    QWidget* control = window.find(name).widget();
    area->verticalScrollBar()->setValue(0);
    control->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(control->hasFocus());
    const int before = value_of(control);

    turn_wheel_over(control);

    EXPECT_NE(value_of(control), before);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
  }
}

TEST_F(WheelTest, TheAreasOwnScrollBarStillTakesTheWheel) {
  area->verticalScrollBar()->setValue(0);
  turn_wheel_over(area->verticalScrollBar());
  EXPECT_GT(area->verticalScrollBar()->value(), 0);
}

}  // namespace
