#pragma once
// The capture behind the entry points: which back end captures, where input is posted,
// what is delivered. Installing picks the first back end that works here: X11 (an X11
// session), the input devices (readable /dev/input), then the program's own windows.
// NORVANE_INPUT_CAPTURE=devices skips X11, =window takes the windows at once.
//
// Threads: install, remove and the enable switches come from the program's UI thread;
// deliver() from the back end's thread. The target, the pressed keys and the event
// times are kept under one mutex, and posting happens under it, so once remove() or a
// new install() returns, nothing reaches the old target.

#include <atomic>
#include <bitset>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "input_capture/captured_input.h"
#include "input_capture/hook_abi.h"

namespace norvane::capture {

// Makes the back ends; tests put their own in.
struct BackendFactory {
  std::function<std::unique_ptr<CaptureBackend>()> x11;
  std::function<std::unique_ptr<CaptureBackend>()> input_devices;
  std::function<std::unique_ptr<CaptureBackend>()> windows;
  // Reads an environment variable (empty when unset).
  std::function<std::string(const char* name)> environment;
};

BackendFactory system_backends();

class CaptureSession final : public InputSink {
 public:
  explicit CaptureSession(BackendFactory factory);
  ~CaptureSession() override;  // remove()
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  bool install(const NvPostTarget& target);
  void remove();
  void enable_keys(bool on) { keys_enabled_ = on; }
  void enable_buttons(bool on) { buttons_enabled_ = on; }
  void enable_wheel(bool on) { wheel_enabled_ = on; }
  int scope() const { return scope_; }
  bool take_event_time(uintptr_t wparam, intptr_t lparam, int64_t* time_ms);

  void deliver(const CapturedInput& input) override;

  // How many event times are kept for the caller at most.
  static constexpr size_t kKeptTimes = 256;

 private:
  bool start_backend();

  struct PostedTime {
    uintptr_t wparam;
    intptr_t lparam;
    int64_t time_ms;
  };

  BackendFactory factory_;
  std::mutex api_mutex_;  // install and remove, from whichever thread calls them
  std::unique_ptr<CaptureBackend> backend_;
  std::atomic<int> scope_{NV_CAPTURE_NONE};
  std::atomic<bool> keys_enabled_{false};
  std::atomic<bool> buttons_enabled_{false};
  std::atomic<bool> wheel_enabled_{false};

  std::mutex post_mutex_;
  std::optional<NvPostTarget> target_;
  std::bitset<1024> pressed_keys_;
  std::deque<PostedTime> times_;
};

}  // namespace norvane::capture
