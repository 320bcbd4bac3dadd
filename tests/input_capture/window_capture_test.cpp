// Hook.so capturing inside the program's own windows, as in a session where nothing
// system-wide is possible (chosen here with NORVANE_INPUT_CAPTURE=window).

#include <gtest/gtest.h>

#include <QTest>
#include <QWindow>
#include <cstdlib>

#include "input_capture/window_capture.h"
#include "tests/input_capture/hook_module.h"
#include "tests/support/qt_test_app.h"

namespace norvane::testing {
namespace {

class HookInOwnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    setenv("NORVANE_INPUT_CAPTURE", "window", 1);
    window_ = std::make_unique<QWindow>();
    window_->resize(200, 100);
    window_->show();
  }
  void TearDown() override {
    hook_.removehook();
    window_.reset();
    unsetenv("NORVANE_INPUT_CAPTURE");
  }

  std::unique_ptr<QWindow> window_;  // made once the application exists
  HookModule hook_;
  MessageRecorder target_;
};

TEST_F(HookInOwnWindows, KeysButtonsAndWheelOfTheProgramsWindowsArrive) {
  ASSERT_EQ(hook_.installhook(target_.target()), 1);
  EXPECT_EQ(hook_.capturescope(), NV_CAPTURE_WINDOWS_CHOSEN);
  hook_.enablehook(1);
  hook_.enablemousehook(1);

  QTest::keyPress(window_.get(), Qt::Key_A);
  QTest::keyPress(window_.get(), Qt::Key_A);  // still held: no second press
  QTest::keyRelease(window_.get(), Qt::Key_A);
  QTest::keyClick(window_.get(), Qt::Key_7, Qt::KeypadModifier);
  QTest::keyClick(window_.get(), Qt::Key_F5);
  QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseClick(window_.get(), Qt::BackButton, {}, QPoint(10, 10));
  hook_.enablehook(0);
  QTest::keyClick(window_.get(), Qt::Key_B);  // keys off
  hook_.mousewheelenable(1);
  QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window_.get(), &wheel);

  EXPECT_EQ(target_.messages(),
            (std::vector<Message>{hook_message(0x41, 0), hook_message(0x41, 1), hook_message(0x67, 0),
                                  hook_message(0x67, 1), hook_message(0x74, 0), hook_message(0x74, 1),
                                  hook_message(NV_WM_LBUTTONDOWN, 0), hook_message(NV_WM_LBUTTONUP, 0),
                                  hook_message(NV_WM_XBUTTONDOWN, NV_XBUTTON_BACK),
                                  hook_message(NV_WM_XBUTTONUP, NV_XBUTTON_BACK),
                                  hook_message(NV_WM_MOUSEWHEEL, 120)}));
  int64_t at = 0;
  EXPECT_EQ(hook_.eventtime(0x41, 0, &at), 1);

  hook_.removehook();
  QTest::keyClick(window_.get(), Qt::Key_C);
  EXPECT_EQ(target_.messages().size(), 11u);
}

TEST(WindowCapture, QtKeysWithoutANativeCodeStillGetTheirVirtualKeys) {
  using norvane::capture::virtual_key_of_qt_key;
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Z, false), 0x5Au);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_0, false), 0x30u);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_0, true), 0x60u);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Enter, true), 0x0Du);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_F12, false), 0x7Bu);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Slash, true), 0x6Fu);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Slash, false), 0xBFu);
  EXPECT_EQ(virtual_key_of_qt_key(Qt::Key_Eacute, false), 0u);  // nothing to go by
}

}  // namespace
}  // namespace norvane::testing
