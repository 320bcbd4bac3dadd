#include "input_capture/evdev_capture.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "input_capture/capture_trace.h"
#include "input_capture/input_translation.h"
#include "input_capture/wake_pipe.h"
#include "macros/session_keyboard.h"

namespace norvane::capture {
namespace {

struct InputDevice {
  std::string path;
  int fd = -1;
  libevdev* device = nullptr;
};

void close_device(InputDevice& d) {
  if (d.device != nullptr) libevdev_free(d.device);
  if (d.fd >= 0) close(d.fd);
  d.device = nullptr;
  d.fd = -1;
}

bool is_keyboard_or_mouse(const libevdev* device) {
  return libevdev_has_event_code(device, EV_KEY, KEY_A) || libevdev_has_event_code(device, EV_KEY, KEY_ENTER) ||
         libevdev_has_event_code(device, EV_KEY, BTN_LEFT);
}

class EvdevCapture final : public CaptureBackend {
 public:
  explicit EvdevCapture(std::string folder) : folder_(std::move(folder)) {}
  ~EvdevCapture() override { stop(); }

  bool start(InputSink& sink) override {
    open_devices();
    if (devices_.empty()) {
      trace("input capture: no readable keyboard or mouse in %s", folder_.c_str());
      return false;
    }
    if (!wake_.valid()) {
      close_devices();
      return false;
    }
    sink_ = &sink;
    thread_ = std::thread([this] { run(); });
    return true;
  }

  void stop() override {
    if (thread_.joinable()) {
      wake_.wake();
      thread_.join();
    }
    close_devices();
  }

 private:
  void open_devices() {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
      if (entry.path().filename().string().rfind("event", 0) == 0) paths.push_back(entry.path().string());
    }
    if (error) trace("input capture: %s cannot be listed: %s", folder_.c_str(), error.message().c_str());
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
      InputDevice d{path};
      d.fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (d.fd < 0) {
        trace("input capture: %s skipped: %s", path.c_str(), std::strerror(errno));
        continue;
      }
      const int rc = libevdev_new_from_fd(d.fd, &d.device);
      if (rc < 0) {
        trace("input capture: %s skipped: not an input device (%s)", path.c_str(), std::strerror(-rc));
        close_device(d);
        continue;
      }
      if (!is_keyboard_or_mouse(d.device)) {
        close_device(d);
        continue;
      }
      libevdev_set_clock_id(d.device, CLOCK_MONOTONIC);  // event times on the program's clock
      devices_.push_back(d);
    }
  }

  void close_devices() {
    for (InputDevice& d : devices_) close_device(d);
    devices_.clear();
  }

  void run() {
    SessionKeyboard keyboard(SessionKeyboardOptions{{}, "/etc/default/keyboard",
                                                    [](const std::string& line) { trace("%s", line.c_str()); }});
    for (;;) {
      std::vector<pollfd> fds;
      for (const InputDevice& d : devices_) fds.push_back({d.fd, POLLIN, 0});
      fds.push_back({wake_.fd(), POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
      if ((fds.back().revents & POLLIN) != 0) return;
      for (size_t i = 0; i < devices_.size(); ++i) {
        if (fds[i].revents != 0) read_device(devices_[i], keyboard);
      }
      // A device that went away (unplugged) is dropped.
      std::erase_if(devices_, [](const InputDevice& d) { return d.fd < 0; });
      if (devices_.empty()) {
        trace("input capture: every input device is gone");
        return;
      }
    }
  }

  void read_device(InputDevice& d, SessionKeyboard& keyboard) {
    input_event event{};
    unsigned int flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
      const int rc = libevdev_next_event(d.device, flags, &event);
      if (rc == -EAGAIN) {
        if (flags == LIBEVDEV_READ_FLAG_NORMAL) return;
        flags = LIBEVDEV_READ_FLAG_NORMAL;  // resynchronised: back to normal reading
        continue;
      }
      if (rc < 0) {
        trace("input capture: %s gone: %s", d.path.c_str(), std::strerror(-rc));
        close_device(d);
        return;
      }
      if (rc == LIBEVDEV_READ_STATUS_SYNC) {
        // Events were dropped and this is the state catching up: only keys that went up
        // meanwhile are passed on, so they do not stay pressed.
        flags = LIBEVDEV_READ_FLAG_SYNC;
        if (event.type != EV_KEY || event.value != 0) continue;
      }
      const int64_t time_ms = static_cast<int64_t>(event.input_event_sec) * 1000 + event.input_event_usec / 1000;
      if (auto input = input_event_input(event.type, event.code, event.value, time_ms, *keyboard.current())) {
        sink_->deliver(*input);
      }
    }
  }

  std::string folder_;
  std::vector<InputDevice> devices_;
  InputSink* sink_ = nullptr;
  WakePipe wake_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<CaptureBackend> make_evdev_capture(std::string folder) {
  return std::make_unique<EvdevCapture>(std::move(folder));
}

}  // namespace norvane::capture
