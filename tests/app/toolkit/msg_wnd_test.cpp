// The message box: its result for each way of closing it, and the words it shows.

#include "app/toolkit/msg_wnd.h"

#include <gtest/gtest.h>

#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("msg.xml", source_skin("msg.xml"));
    skins.write_language({{"warning_title_text", "Attention"}, {"restore_text", "Restore the defaults?"},
                          {"ok_text", "OK"}, {"cancel_text", "Cancel"}});
  }
  TempSkinFolder skins;
};

TEST_F(MessageBoxTest, OkGivesOneCancelAndWindowCloseGiveZero) {
  ModalDriver driver;
  driver.click("MsgWnd", "btn_ok");
  driver.click("MsgWnd", "btn_cancel");
  driver.on_next("MsgWnd", [](WindowBase& w) { w.native()->close(); });  // window manager's close button
  EXPECT_EQ(show_message_box(nullptr, kWarningTitleKey, "restore_text"), 1);
  EXPECT_EQ(show_message_box(nullptr, kWarningTitleKey, "restore_text"), 0);
  EXPECT_EQ(show_message_box(nullptr, kWarningTitleKey, "restore_text"), 0);
  EXPECT_EQ(driver.pending(), 0);
}

TEST_F(MessageBoxTest, ShowsTheLanguageTextsNotTheKeys) {
  QString title, message, ok;
  ModalDriver driver;
  driver.on_next("MsgWnd", [&](WindowBase& w) {
    title = w.find("warning_title").shown_text();
    message = w.find("warning").shown_text();
    ok = w.find("btn_ok").shown_text();
    w.find("btn_ok").click();
  });
  show_message_box(nullptr, kWarningTitleKey, "restore_text");
  EXPECT_EQ(title, "Attention");
  EXPECT_EQ(message, "Restore the defaults?");
  EXPECT_EQ(ok, "OK");
}

TEST_F(MessageBoxTest, AComposedMessageIsShownAsItIs) {
  QString message, title;
  ModalDriver driver;
  driver.on_next("MsgWnd", [&](WindowBase& w) {
    title = w.find("warning_title").shown_text();
    message = w.find("warning").shown_text();
    w.find("btn_ok").click();
  });
  EXPECT_EQ(show_message_box_text(nullptr, kWarningTitleKey, "restore_text of button 2"), 1);
  EXPECT_EQ(title, "Attention");
  EXPECT_EQ(message, "restore_text of button 2");

  // The next box looks its message up again.
  driver.on_next("MsgWnd", [&](WindowBase& w) {
    message = w.find("warning").shown_text();
    w.find("btn_ok").click();
  });
  show_message_box(nullptr, kWarningTitleKey, "restore_text");
  EXPECT_EQ(message, "Restore the defaults?");
}

TEST_F(MessageBoxTest, MissingSkinReturnsZeroWithoutRunning) {
  skins.write("msg.xml", "not a skin");
  ModalDriver driver;
  EXPECT_EQ(show_message_box(nullptr, kWarningTitleKey, "restore_text"), 0);
  EXPECT_TRUE(driver.seen().isEmpty());
}

}  // namespace
