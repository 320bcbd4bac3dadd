// The shortcut dialog: capturing one key through the input-capture library while the
// key field has the focus, the modifier boxes, and the hook removed on every way out.

#include "buttons/ui/shortcut_wnd.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <memory>
#include <string>
#include <vector>

#include "app/toolkit/resources.h"
#include "tests/support/modal_driver.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/skin_files.h"

namespace norvane::testing {
namespace {

// A stand-in for the library: records its calls and keeps the window it was given.
std::vector<std::string> hook_calls;
NvPostTarget hook_target{};
int install_answer = 1;

int fake_installhook(NvPostTarget* window) {
  hook_calls.push_back("installhook");
  hook_target = *window;
  return install_answer;
}
int fake_removehook() {
  hook_calls.push_back("removehook");
  hook_target = {};
  return 1;
}
int fake_enablehook(int on) {
  hook_calls.push_back(on ? "enablehook(1)" : "enablehook(0)");
  return 1;
}

// What the library posts for a key.
void hook_posts(uintptr_t virtual_key, intptr_t release) {
  ASSERT_NE(hook_target.post, nullptr) << "no hook installed";
  hook_target.post(hook_target.context, NV_HOOK_MESSAGE, virtual_key, release);
}

uint8_t us_usage(uint32_t vk) {
  if (vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(4 + vk - 'A');
  return vk == 0x70 ? 0x3A : 0;  // F1; no usage for the rest
}
std::u16string key_name(uint8_t usage) { return usage == 4 ? u"A" : usage == 0x3A ? u"F1" : u"?"; }

void focus(Control control, QEvent::Type type) {
  QFocusEvent event(type, Qt::OtherFocusReason);
  QApplication::sendEvent(control.widget(), &event);
}

class ShortcutDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test_app();
    resources().set_folder(source_res_folder());
    ASSERT_TRUE(resources().load_language("lan.xml"));
    hooks.installhook = fake_installhook;
    hooks.removehook = fake_removehook;
    hooks.enablehook = fake_enablehook;
    install_answer = 1;
  }
  void TearDown() override {
    flush_events();
    resources().shut_down();
    hook_calls.clear();
  }

  // A dialog shown without a modal run, its key field not focused yet.
  std::unique_ptr<CShortcutWnd> open(ShortcutKeys start) {
    auto dialog = std::make_unique<CShortcutWnd>(start, &hooks, us_usage, key_name);
    EXPECT_TRUE(dialog->create(nullptr, QString(), WindowStyle::kPopup | WindowStyle::kVisible));
    flush_events();
    focus(dialog->find("edit_key"), QEvent::FocusOut);
    hook_calls.clear();
    return dialog;
  }

  HookFunctions hooks;
};

TEST_F(ShortcutDialogTest, TheKeyFieldCapturesWhileFocusedAndKeepsTheLastKey) {
  auto dialog = open({0x3A, kModAlt});
  Control edit = dialog->find("edit_key");
  EXPECT_EQ(edit.text(), "F1");
  EXPECT_FALSE(dialog->capturing());

  focus(edit, QEvent::FocusIn);
  EXPECT_EQ(hook_calls, (std::vector<std::string>{"installhook", "enablehook(1)"}));
  hook_posts('A', 0);
  hook_posts('A', 1);
  hook_posts(NV_WM_LBUTTONDOWN, 0);  // a mouse message of the same library is no key
  flush_events();
  EXPECT_EQ(dialog->keys().key, 4);
  EXPECT_EQ(edit.text(), "A");

  // A key without a usage released last replaces the A.
  hook_posts(0x10, 1);
  flush_events();
  EXPECT_EQ(dialog->keys(), (ShortcutKeys{0, kModAlt}));
  EXPECT_EQ(edit.text(), "");

  focus(edit, QEvent::FocusOut);
  EXPECT_EQ(hook_calls, (std::vector<std::string>{"installhook", "enablehook(1)", "removehook", "enablehook(0)"}));
  // A message still on its way when the capture ended changes nothing.
  dialog->post_message(UM_HOOK_INPUT, 'A', 0);
  flush_events();
  EXPECT_EQ(dialog->keys().key, 0);
}

TEST_F(ShortcutDialogTest, TheBoxesGiveTheModifiers) {
  auto dialog = open({0, kModAlt});
  auto box = [&](int n) { return qobject_cast<QAbstractButton*>(dialog->find(QStringLiteral("check_flag_%1").arg(n)).widget()); };
  EXPECT_FALSE(box(1)->isChecked());
  EXPECT_TRUE(box(3)->isChecked());
  box(1)->click();
  box(2)->click();
  box(3)->click();
  box(4)->click();
  EXPECT_EQ(dialog->keys().modifiers, kModCtrl | kModShift | kModWin);
  EXPECT_TRUE(hook_calls.empty()) << "the boxes capture nothing";
}

TEST_F(ShortcutDialogTest, EveryWayOutRemovesTheHook) {
  // Closed with the close button while capturing.
  auto dialog = open({});
  focus(dialog->find("edit_key"), QEvent::FocusIn);
  dialog->find("btn_exit").click();
  flush_events();
  EXPECT_EQ(hook_calls.back(), "enablehook(0)");
  EXPECT_EQ(std::count(hook_calls.begin(), hook_calls.end(), "removehook"), 1);
  EXPECT_FALSE(dialog->capturing());

  // The window object deleted while capturing (its opener went away).
  hook_calls.clear();
  dialog = open({});
  focus(dialog->find("edit_key"), QEvent::FocusIn);
  dialog.reset();
  EXPECT_EQ(hook_calls, (std::vector<std::string>{"installhook", "enablehook(1)", "removehook", "enablehook(0)"}));
}

TEST_F(ShortcutDialogTest, WithoutTheLibraryTheFieldSaysItCannotCapture) {
  install_answer = 0;
  auto dialog = open({});
  focus(dialog->find("edit_key"), QEvent::FocusIn);
  EXPECT_FALSE(dialog->capturing());
  EXPECT_EQ(dialog->find("shortcut_hint").text(), "shortcut_no_capture_text");
  focus(dialog->find("edit_key"), QEvent::FocusOut);
  EXPECT_EQ(hook_calls, std::vector<std::string>{"installhook"}) << "nothing to remove";

  HookFunctions none;
  CShortcutWnd bare({}, &none, us_usage, key_name);
  ASSERT_TRUE(bare.create(nullptr, QString(), WindowStyle::kPopup));
  focus(bare.find("edit_key"), QEvent::FocusIn);
  EXPECT_EQ(bare.find("shortcut_hint").text(), "shortcut_no_capture_text");
}

TEST_F(ShortcutDialogTest, TheModalRunGivesTheConfirmedKeysOrNothing) {
  ModalDriver driver;
  driver.on_next("ShortcutWnd", [](WindowBase& w) {
    w.find("check_flag_1").click();
    focus(w.find("edit_key"), QEvent::FocusIn);
    hook_posts('A', 0);
    // OK once the key message has come in.
    QMetaObject::invokeMethod(w.native(), [&w] { w.find("btn_ok").click(); }, Qt::QueuedConnection);
  });
  const std::optional<ShortcutKeys> confirmed = run_shortcut_dialog(nullptr, {}, &hooks, us_usage, key_name);
  ASSERT_TRUE(confirmed.has_value());
  EXPECT_EQ(*confirmed, (ShortcutKeys{4, kModCtrl}));
  EXPECT_EQ(hook_calls.back(), "enablehook(0)");
  EXPECT_EQ(hook_target.post, nullptr) << "removed after the run";

  driver.on_next("ShortcutWnd", [](WindowBase& w) {
    w.find("check_flag_2").click();
    w.find("btn_cancel").click();
  });
  EXPECT_FALSE(run_shortcut_dialog(nullptr, {4, 0}, &hooks, us_usage, key_name).has_value());
  EXPECT_EQ(driver.pending(), 0);
}

}  // namespace
}  // namespace norvane::testing
