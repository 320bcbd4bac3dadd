// The capture session with stand-in back ends: which back end is chosen, what is
// delivered, repeats, the target, event times, and stopping from another thread.

#include "input_capture/capture_session.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "input_capture/capture_trace.h"
#include "tests/input_capture/message_recorder.h"

using namespace norvane::capture;
using norvane::testing::hook_message;
using norvane::testing::Message;
using norvane::testing::MessageRecorder;

namespace {

struct BackendLog {
  std::vector<std::string> started;  // names of the back ends asked to start, in order
  InputSink* sink = nullptr;         // of the one that runs
  int stops = 0;
};

class StandInBackend final : public CaptureBackend {
 public:
  StandInBackend(BackendLog& log, std::string name, bool works) : log_(log), name_(std::move(name)), works_(works) {}
  bool start(InputSink& sink) override {
    log_.started.push_back(name_);
    if (works_) log_.sink = &sink;
    return works_;
  }
  void stop() override {
    ++log_.stops;
    log_.sink = nullptr;
  }

 private:
  BackendLog& log_;
  std::string name_;
  bool works_;
};

CapturedInput key(uint32_t vk, bool pressed, uint32_t physical, int64_t time_ms = 0) {
  return {InputKind::key, vk, pressed ? 0 : 1, physical, pressed, time_ms};
}
CapturedInput button(uintptr_t message, intptr_t which = 0, int64_t time_ms = 0) {
  return {InputKind::mouse_button, message, which, 0, false, time_ms};
}

std::vector<std::string> g_trace;
void collect_trace(const char* line) { g_trace.emplace_back(line); }

class CaptureSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_trace.clear();
    set_trace_sink(collect_trace);
  }
  void TearDown() override { set_trace_sink(nullptr); }

  // Back ends that work or not, in an environment of the test's choosing.
  BackendFactory factory(bool x11, bool devices, bool windows) {
    return BackendFactory{
        .x11 = [this, x11] { return std::make_unique<StandInBackend>(log, "x11", x11); },
        .input_devices = [this, devices] { return std::make_unique<StandInBackend>(log, "devices", devices); },
        .windows = [this, windows] { return std::make_unique<StandInBackend>(log, "windows", windows); },
        .environment =
            [this](const char* name) {
              auto it = environment.find(name);
              return it != environment.end() ? it->second : std::string();
            },
    };
  }

  BackendLog log;
  std::map<std::string, std::string> environment;
  MessageRecorder window;
};

TEST_F(CaptureSessionTest, BackEndsAreTriedInOrderAndTheScopeSaysWhichRuns) {
  environment["DISPLAY"] = ":0";
  {
    CaptureSession session(factory(true, true, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_X11);
  }
  EXPECT_EQ(log.started, (std::vector<std::string>{"x11"}));
  EXPECT_EQ(log.stops, 1);  // the session's end stops what runs

  log = {};
  {
    CaptureSession session(factory(false, true, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_INPUT_DEVICES);
  }
  EXPECT_EQ(log.started, (std::vector<std::string>{"x11", "devices"}));

  // A Wayland session has a DISPLAY too (Xwayland), but X11 sees none of its input.
  log = {};
  environment["WAYLAND_DISPLAY"] = "wayland-0";
  {
    CaptureSession session(factory(true, false, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_WINDOWS_WAYLAND);
  }
  EXPECT_EQ(log.started, (std::vector<std::string>{"devices", "windows"}));
  ASSERT_FALSE(g_trace.empty());
  EXPECT_NE(g_trace.back().find("own windows"), std::string::npos);

  log = {};
  environment.clear();
  {
    CaptureSession session(factory(true, false, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_WINDOWS_NO_ACCESS);
  }
  EXPECT_EQ(log.started, (std::vector<std::string>{"devices", "windows"}));
}

TEST_F(CaptureSessionTest, TheEnvironmentCanChooseAndNothingWorkingIsAFailure) {
  environment["DISPLAY"] = ":0";
  environment["NORVANE_INPUT_CAPTURE"] = "window";
  {
    CaptureSession session(factory(true, true, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_WINDOWS_CHOSEN);
  }
  EXPECT_EQ(log.started, (std::vector<std::string>{"windows"}));

  log = {};
  environment["NORVANE_INPUT_CAPTURE"] = "devices";
  {
    CaptureSession session(factory(true, true, true));
    ASSERT_TRUE(session.install(*window.target()));
    EXPECT_EQ(session.scope(), NV_CAPTURE_INPUT_DEVICES);
  }

  log = {};
  environment["NORVANE_INPUT_CAPTURE"] = "everything";
  CaptureSession session(factory(false, false, false));
  EXPECT_FALSE(session.install(*window.target()));
  EXPECT_EQ(session.scope(), NV_CAPTURE_NONE);
  EXPECT_EQ(log.started, (std::vector<std::string>{"x11", "devices", "windows"}));
  ASSERT_GE(g_trace.size(), 2u);
  EXPECT_NE(g_trace.front().find("NORVANE_INPUT_CAPTURE=everything"), std::string::npos);
  EXPECT_NE(g_trace.back().find("no way to capture"), std::string::npos);
}

TEST_F(CaptureSessionTest, EachKindArrivesOnlyWhileEnabledAndRepeatsNever) {
  CaptureSession session(factory(false, true, false));
  ASSERT_TRUE(session.install(*window.target()));
  InputSink& sink = *log.sink;

  sink.deliver(key(0x41, true, 30));  // keys are off: not delivered, but A is now down
  session.enable_keys(true);
  sink.deliver(key(0x41, true, 30));  // still held: a repeat
  sink.deliver(key(0x41, false, 30));
  sink.deliver(key(0x41, true, 30));
  sink.deliver(key(0x41, true, 30));
  sink.deliver(key(0x41, false, 30));
  sink.deliver(button(NV_WM_LBUTTONDOWN));  // buttons are off
  session.enable_buttons(true);
  sink.deliver(button(NV_WM_XBUTTONDOWN, NV_XBUTTON_BACK));
  sink.deliver({InputKind::wheel, NV_WM_MOUSEWHEEL, 120, 0, false, 0});  // the wheel is off
  session.enable_wheel(true);
  sink.deliver({InputKind::wheel, NV_WM_MOUSEWHEEL, -120, 0, false, 0});
  // Two physical keys with one virtual key (Enter and keypad Enter) are held apart.
  sink.deliver(key(0x0D, true, 28));
  sink.deliver(key(0x0D, true, 96));

  EXPECT_EQ(window.messages(),
            (std::vector<Message>{hook_message(0x41, 1), hook_message(0x41, 0), hook_message(0x41, 1),
                                  hook_message(NV_WM_XBUTTONDOWN, NV_XBUTTON_BACK),
                                  hook_message(NV_WM_MOUSEWHEEL, -120), hook_message(0x0D, 0),
                                  hook_message(0x0D, 0)}));
}

TEST_F(CaptureSessionTest, EventTimesAreTakenInOrderOncePerEvent) {
  CaptureSession session(factory(false, true, false));
  ASSERT_TRUE(session.install(*window.target()));
  session.enable_keys(true);
  log.sink->deliver(key(0x41, true, 30, 1000));
  log.sink->deliver(key(0x41, false, 30, 1040));
  log.sink->deliver(key(0x42, true, 48, 1100));
  log.sink->deliver(key(0x42, false, 48, 1150));

  int64_t at = 0;
  EXPECT_TRUE(session.take_event_time(0x41, 1, &at));  // the press was never asked for: dropped
  EXPECT_EQ(at, 1040);
  EXPECT_TRUE(session.take_event_time(0x42, 1, &at));
  EXPECT_EQ(at, 1150);
  EXPECT_FALSE(session.take_event_time(0x42, 0, &at));  // dropped on the way to B's release

  // Only the newest are kept when nobody asks.
  for (size_t i = 0; i < CaptureSession::kKeptTimes + 10; ++i) {
    log.sink->deliver(key(0x43, i % 2 == 0, 46, static_cast<int64_t>(i)));
  }
  EXPECT_TRUE(session.take_event_time(0x43, 0, &at));
  EXPECT_EQ(at, 10);

  // A new install starts afresh.
  log.sink->deliver(key(0x44, true, 32, 7));
  ASSERT_TRUE(session.install(*window.target()));
  EXPECT_FALSE(session.take_event_time(0x44, 0, &at));
}

TEST_F(CaptureSessionTest, RemoveStopsTheBackEndAndNothingMoreIsPosted) {
  CaptureSession session(factory(false, true, false));
  ASSERT_TRUE(session.install(*window.target()));
  session.enable_keys(true);
  InputSink* sink = log.sink;
  std::thread capture([sink] {
    for (uint32_t i = 0; i < 2000; ++i) sink->deliver(key(0x41, i % 2 == 0, 30));
  });
  capture.join();
  session.remove();
  EXPECT_EQ(log.stops, 1);
  EXPECT_EQ(session.scope(), NV_CAPTURE_NONE);
  EXPECT_EQ(window.messages().size(), 2000u);
  sink->deliver(key(0x42, true, 48));  // a late event from a stopped back end goes nowhere
  EXPECT_EQ(window.messages().size(), 2000u);
  session.remove();  // twice is harmless
  EXPECT_EQ(log.stops, 1);
}

}  // namespace
