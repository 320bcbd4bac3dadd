// Windows: modal runs return the close code, on_destroy runs, free-on-close windows
// delete themselves, skins decide the size.

#include <gtest/gtest.h>

#include "tests/app/toolkit/test_window.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

const char kDialog[] = R"(
 <item><widget class="QPushButton" name="btn_ok"/></item>
 <item><widget class="QPushButton" name="btn_cancel"/></item>
)";

class WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("msg.xml", ui_document("msg", kDialog, 320, 160));
    skins.write("main.xml", ui_document("main", "", 800, 572));
    ASSERT_TRUE(owner.create(nullptr, "", WindowStyle::kVisible));
  }
  TempSkinFolder skins;
  TestWindow owner{"Owner", "main.xml"};
};

TEST_F(WindowsTest, ModalRunReturnsTheCloseCode) {
  ModalDriver driver;
  driver.click("MsgWnd", "btn_ok");
  driver.click("MsgWnd", "btn_cancel");
  for (int expected : {1, 0}) {
    TestWindow box("MsgWnd", "msg.xml");
    box.close_on_click = {{"btn_ok", 1}, {"btn_cancel", 0}};
    ASSERT_TRUE(box.create(&owner, "", WindowStyle::kPopup | WindowStyle::kToolWindow, QSize(800, 800)));
    box.center();
    EXPECT_EQ(box.show_modal(), expected);
    EXPECT_EQ(box.destroy_calls, 1);  // the native window is gone when the run returns
    EXPECT_FALSE(box.is_created());
  }
  EXPECT_EQ(driver.seen(), (QStringList{"MsgWnd", "MsgWnd"}));
  EXPECT_EQ(driver.pending(), 0);
}

TEST_F(WindowsTest, SkinDecidesTheSizeAndCallerSizeIsTheFallback) {
  TestWindow box("MsgWnd", "msg.xml");
  ASSERT_TRUE(box.create(&owner, "", WindowStyle::kPopup, QSize(800, 800)));
  EXPECT_EQ(box.native()->size(), QSize(320, 160));
  EXPECT_EQ(owner.native()->size(), QSize(800, 572));
}

TEST_F(WindowsTest, FreeOnCloseWindowDeletesItselfOnceItsNativeWindowIsGone) {
  bool deleted = false;
  auto* popup = new TestWindow("DPIWnd", "msg.xml");
  popup->destroyed_flag = &deleted;
  popup->set_free_on_close(true);
  ASSERT_TRUE(popup->create(&owner, "", WindowStyle::kPopup | WindowStyle::kTopmost | WindowStyle::kVisible));
  popup->close(0);
  EXPECT_FALSE(deleted);  // not from inside the call
  ASSERT_TRUE(run_events_until([&] { return deleted; }));
}

TEST_F(WindowsTest, ModalRunEndsWhenItsOwnerGoesAway) {
  auto* second_owner = new TestWindow("Owner2", "main.xml");
  ASSERT_TRUE(second_owner->create(nullptr, "", WindowStyle::kVisible));
  bool deleted = false;
  auto* box = new TestWindow("MsgWnd", "msg.xml");
  box->destroyed_flag = &deleted;
  box->set_free_on_close(true);
  ASSERT_TRUE(box->create(second_owner, "", WindowStyle::kPopup));
  ModalDriver driver;
  driver.on_next("MsgWnd", [second_owner](WindowBase&) {
    QMetaObject::invokeMethod(qApp, [second_owner] { delete second_owner; }, Qt::QueuedConnection);
  });
  EXPECT_EQ(box->show_modal(), 0);
  EXPECT_TRUE(deleted);  // freed itself once the run was over
}

TEST_F(WindowsTest, MissingSkinCreatesNothing) {
  TestWindow broken("Broken", "no_such_skin.xml");
  EXPECT_FALSE(broken.create(&owner, "", WindowStyle::kVisible));
  EXPECT_FALSE(broken.is_created());
  EXPECT_EQ(broken.init_calls, 0);
  EXPECT_FALSE(broken.find("btn_ok").valid());
  broken.find("btn_ok").set_text("x");  // a missing control ignores every call
}

}  // namespace
