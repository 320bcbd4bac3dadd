// The DPI popup on its own: its text, where it appears, and that it frees itself.

#include "settings/dpi_msg.h"

#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"
#include "tests/support/skin_folder.h"

using namespace norvane;
using namespace norvane::testing;

namespace {

TEST(DpiPopupText, AppendsTheCpiOnlyForTheThreeLevelSources) {
  EXPECT_EQ(dpi_popup_text(0, 32), "DPI :1600");
  EXPECT_EQ(dpi_popup_text(1, 1), "DPI :50");
  EXPECT_EQ(dpi_popup_text(2, 520), "DPI :26000");
  EXPECT_EQ(dpi_popup_text(3, 32), "DPI :");
  EXPECT_EQ(dpi_popup_text(static_cast<uintptr_t>(-1), 32), "DPI :");
  // The value is a 32-bit message parameter; the product never overflows.
  EXPECT_EQ(dpi_popup_text(0, 0x7FFFFFFF), "DPI :107374182350");
  EXPECT_EQ(dpi_popup_text(0, -1), "DPI :-50");
}

class DpiPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    skins.write("DPImsg.xml", source_skin("DPImsg.xml"));
  }
  TempSkinFolder skins;
};

TEST_F(DpiPopupTest, SitsAtTheBottomRightOfTheWorkAreaAndFreesItselfWhenClosed) {
  bool gone = false;
  auto* popup = new CDPIMsg();
  popup->set_text("DPI :800");
  popup->set_on_gone([&] { gone = true; });
  ASSERT_TRUE(popup->create(nullptr, "", WindowStyle::kPopup | WindowStyle::kVisible | WindowStyle::kTopmost |
                                             WindowStyle::kToolWindow | WindowStyle::kNoActivate,
                            QSize(800, 800)));
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(popup->frame_rect(), QRect(work.x() + work.width() - 210, work.y() + work.height() - 60, 200, 50));
  EXPECT_EQ(popup->find("dpi_label").shown_text(), "DPI :800");

  popup->set_text("DPI :1600");
  EXPECT_EQ(popup->find("dpi_label").shown_text(), "DPI :1600");

  popup->close(0);
  flush_events();
  EXPECT_TRUE(gone);  // and the object is gone: the sanitizer build checks it is freed once
}

TEST_F(DpiPopupTest, SkinWithoutTheLabelIsNeitherLabelledNorMoved) {
  skins.write("DPImsg.xml", ui_document("dpi", ""));
  auto* popup = new CDPIMsg();
  popup->set_text("DPI :800");
  ASSERT_TRUE(popup->create(nullptr, "", WindowStyle::kPopup, QSize(800, 800), QPoint(5, 7)));
  EXPECT_EQ(popup->frame_rect().topLeft(), QPoint(5, 7));
  popup->close(0);
  flush_events();
}

}  // namespace
