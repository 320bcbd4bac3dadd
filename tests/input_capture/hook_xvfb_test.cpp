// Hook.so end to end on a private X server: xdotool types and clicks through XTEST, and
// the messages 1034 that arrive are checked.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "tests/input_capture/hook_module.h"
#include "tests/support/xvfb_server.h"

namespace norvane::testing {
namespace {

int64_t now_ms() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

class HookOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!program_available("Xvfb") || !program_available("xdotool")) {
      GTEST_SKIP() << "Xvfb and xdotool are needed (scripts/setup installs them)";
    }
    server_ = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server_->running()) << server_->error();
    // This process is the session now: an X11 one on the private server.
    setenv("DISPLAY", server_->display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_SESSION_TYPE");
    unsetenv("NORVANE_INPUT_CAPTURE");
    hook_ = std::make_unique<HookModule>();
    ASSERT_TRUE(hook_->loaded());
    // The library's reasons go to the test's output, to tell why a capture did not start.
    hook_->settrace([](const char* line) { std::fprintf(stderr, "hook: %s\n", line); });
  }
  void TearDown() override {
    if (hook_ != nullptr && hook_->loaded()) {
      hook_->removehook();
      hook_->enablehook(0);
      hook_->enablemousehook(0);
      hook_->mousewheelenable(0);
    }
    hook_.reset();
  }

  void xdotool(std::initializer_list<std::string> arguments) const {
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments);
    ASSERT_EQ(server_->run(command), 0) << "xdotool failed";
  }

  std::unique_ptr<XvfbServer> server_;
  std::unique_ptr<HookModule> hook_;
};

TEST_F(HookOnX11, KeysArriveAsVirtualKeysWithPressAndReleaseAndTheirTimes) {
  MessageRecorder window;
  ASSERT_EQ(hook_->installhook(window.target()), 1);
  EXPECT_EQ(hook_->capturescope(), NV_CAPTURE_X11);
  hook_->enablehook(1);
  const int64_t before = now_ms();
  xdotool({"key", "a", "Return", "Escape", "F1", "Right", "KP_Add"});
  ASSERT_TRUE(window.wait_for(12));
  const int64_t after = now_ms();
  const std::vector<Message> expected = {
      hook_message(0x41, 0), hook_message(0x41, 1), hook_message(0x0D, 0), hook_message(0x0D, 1),
      hook_message(0x1B, 0), hook_message(0x1B, 1), hook_message(0x70, 0), hook_message(0x70, 1),
      hook_message(0x27, 0), hook_message(0x27, 1), hook_message(0x6B, 0), hook_message(0x6B, 1)};
  EXPECT_EQ(window.messages(), expected);

  int64_t previous = before;
  for (const Message& m : expected) {
    int64_t at = 0;
    ASSERT_EQ(hook_->eventtime(m.wparam, m.lparam, &at), 1);
    EXPECT_GE(at, previous);
    EXPECT_LE(at, after);
    previous = at;
  }
  int64_t unused = 0;
  EXPECT_EQ(hook_->eventtime(0x41, 0, &unused), 0);  // each time is taken once
}

TEST_F(HookOnX11, KeysFollowTheLayoutInUse) {
  ASSERT_EQ(server_->run({"setxkbmap", "-layout", "fr"}), 0);
  MessageRecorder window;
  ASSERT_EQ(hook_->installhook(window.target()), 1);
  hook_->enablehook(1);
  xdotool({"key", "a", "q"});  // on AZERTY, A lies where US has Q and Q where US has A
  ASSERT_TRUE(window.wait_for(4));
  EXPECT_EQ(window.messages(), (std::vector<Message>{hook_message(0x41, 0), hook_message(0x41, 1),
                                                     hook_message(0x51, 0), hook_message(0x51, 1)}));
}

TEST_F(HookOnX11, MouseButtonsOnlyWhileEnabledAndKeysNotWhileDisabled) {
  MessageRecorder window;
  ASSERT_EQ(hook_->installhook(window.target()), 1);
  hook_->enablemousehook(1);
  // Keys are off, and so is the wheel: neither the key nor the wheel notch arrives.
  xdotool({"key", "a", "click", "4", "click", "1", "click", "2", "click", "3"});
  xdotool({"click", "8", "click", "9"});
  ASSERT_TRUE(window.wait_for(10));
  EXPECT_EQ(window.messages(),
            (std::vector<Message>{hook_message(513, 0), hook_message(514, 0), hook_message(519, 0),
                                  hook_message(520, 0), hook_message(516, 0), hook_message(517, 0),
                                  hook_message(523, NV_XBUTTON_BACK), hook_message(524, NV_XBUTTON_BACK),
                                  hook_message(523, NV_XBUTTON_FORWARD), hook_message(524, NV_XBUTTON_FORWARD)}));

  hook_->enablemousehook(0);
  hook_->mousewheelenable(1);
  hook_->enablehook(1);
  xdotool({"click", "1", "click", "5", "key", "b"});
  ASSERT_TRUE(window.wait_for(13));
  const std::vector<Message> all = window.messages();
  EXPECT_EQ(std::vector<Message>(all.begin() + 10, all.end()),
            (std::vector<Message>{hook_message(522, -120), hook_message(0x42, 0), hook_message(0x42, 1)}));
}

TEST_F(HookOnX11, AHeldKeyIsOnePressAndOneRelease) {
  MessageRecorder window;
  ASSERT_EQ(hook_->installhook(window.target()), 1);
  hook_->enablehook(1);
  // A second press of a key that is down is what the server makes of auto-repeat.
  xdotool({"keydown", "a", "keydown", "a", "keydown", "a", "keyup", "a"});
  xdotool({"key", "c"});  // marks the end
  ASSERT_TRUE(window.wait_for(4));
  EXPECT_EQ(window.messages(), (std::vector<Message>{hook_message(0x41, 0), hook_message(0x41, 1),
                                                     hook_message(0x43, 0), hook_message(0x43, 1)}));
}

TEST_F(HookOnX11, NothingArrivesAfterRemovehook) {
  MessageRecorder first;
  ASSERT_EQ(hook_->installhook(first.target()), 1);
  hook_->enablehook(1);
  xdotool({"key", "a"});
  ASSERT_TRUE(first.wait_for(2));
  hook_->removehook();
  EXPECT_EQ(hook_->capturescope(), NV_CAPTURE_NONE);
  xdotool({"key", "b"});

  // Typed after the b: once the c arrives at a new capture, the b would have arrived too.
  MessageRecorder second;
  ASSERT_EQ(hook_->installhook(second.target()), 1);
  xdotool({"key", "c"});
  ASSERT_TRUE(second.wait_for(2));
  EXPECT_EQ(first.messages().size(), 2u);
  EXPECT_EQ(second.messages(), (std::vector<Message>{hook_message(0x43, 0), hook_message(0x43, 1)}));
}

TEST_F(HookOnX11, InstallingAgainOnlyMovesTheTarget) {
  MessageRecorder first, second;
  ASSERT_EQ(hook_->installhook(first.target()), 1);
  hook_->enablehook(1);
  xdotool({"key", "a"});
  ASSERT_TRUE(first.wait_for(2));
  ASSERT_EQ(hook_->installhook(second.target()), 1);
  xdotool({"key", "b"});
  ASSERT_TRUE(second.wait_for(2));
  EXPECT_EQ(first.messages().size(), 2u);
  EXPECT_EQ(second.messages(), (std::vector<Message>{hook_message(0x42, 0), hook_message(0x42, 1)}));
}

TEST_F(HookOnX11, LoadingCapturingAndUnloadingAgainAndAgain) {
  hook_.reset();
  for (int round = 0; round < 8; ++round) {
    HookModule hook;
    ASSERT_TRUE(hook.loaded());
    MessageRecorder window;
    ASSERT_EQ(hook.installhook(window.target()), 1);
    hook.enablehook(1);
    if (round % 4 == 0) {
      xdotool({"key", "a"});
      ASSERT_TRUE(window.wait_for(2)) << "round " << round;
    }
    hook.removehook();
    hook.enablehook(0);
  }
  // A library unloaded while still capturing stops its thread on the way out.
  {
    HookModule hook;
    MessageRecorder window;
    ASSERT_EQ(hook.installhook(window.target()), 1);
  }
}

}  // namespace
}  // namespace norvane::testing
