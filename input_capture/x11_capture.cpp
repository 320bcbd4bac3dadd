#include "input_capture/x11_capture.h"

#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "input_capture/capture_trace.h"
#include "input_capture/input_translation.h"
#include "input_capture/wake_pipe.h"
#include "macros/session_keyboard.h"

namespace norvane::capture {
namespace {

constexpr uint32_t kXKeycodeOffset = 8;

class X11Capture final : public CaptureBackend {
 public:
  ~X11Capture() override { stop(); }

  bool start(InputSink& sink) override {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
      trace("input capture: no X server at DISPLAY");
      disconnect();
      return false;
    }
    if (!select_raw_events()) {
      disconnect();
      return false;
    }
    if (!wake_.valid()) {
      trace("input capture: no eventfd");
      disconnect();
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
    disconnect();
  }

 private:
  bool select_raw_events() {
    const xcb_query_extension_reply_t* xi = xcb_get_extension_data(connection_, &xcb_input_id);
    if (xi == nullptr || xi->present == 0) {
      trace("input capture: the X server has no XInput extension");
      return false;
    }
    xi_opcode_ = xi->major_opcode;
    xcb_input_xi_query_version_reply_t* version =
        xcb_input_xi_query_version_reply(connection_, xcb_input_xi_query_version(connection_, 2, 2), nullptr);
    const bool xi2 = version != nullptr && version->major_version >= 2;
    std::free(version);
    if (!xi2) {
      trace("input capture: the X server has no XInput 2");
      return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    struct {
      xcb_input_event_mask_t head;
      uint32_t mask;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
                XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
                    XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE};
    xcb_generic_error_t* error =
        xcb_request_check(connection_, xcb_input_xi_select_events_checked(connection_, screen->root, 1, &selection.head));
    if (error != nullptr) {
      trace("input capture: the X server refused raw input events (error %d)", error->error_code);
      std::free(error);
      return false;
    }
    return true;
  }

  void run() {
    SessionKeyboard keyboard(SessionKeyboardOptions{{}, "/etc/default/keyboard",
                                                    [](const std::string& line) { trace("%s", line.c_str()); }});
    pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wake_.fd(), POLLIN, 0}};
    for (;;) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        handle(event, keyboard);
        std::free(event);
      }
      if (xcb_connection_has_error(connection_) != 0) {
        trace("input capture: lost the X server");
        return;
      }
      if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
      if ((fds[1].revents & POLLIN) != 0) return;
    }
  }

  void handle(const xcb_generic_event_t* event, SessionKeyboard& keyboard) {
    if ((event->response_type & 0x7F) != XCB_GE_GENERIC) return;
    const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
    if (generic->extension != xi_opcode_) return;
    // The four raw events share one layout.
    const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
    const int64_t time_ms = event_time_from_32bit(raw->time, monotonic_ms());
    std::optional<CapturedInput> input;
    switch (generic->event_type) {
      case XCB_INPUT_RAW_KEY_PRESS:
      case XCB_INPUT_RAW_KEY_RELEASE:
        if (raw->detail >= kXKeycodeOffset) {
          input = key_input(raw->detail - kXKeycodeOffset, generic->event_type == XCB_INPUT_RAW_KEY_PRESS, time_ms,
                            *keyboard.current());
        }
        break;
      case XCB_INPUT_RAW_BUTTON_PRESS:
      case XCB_INPUT_RAW_BUTTON_RELEASE:
        input = x11_button_input(raw->detail, generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS, time_ms);
        break;
      default:
        break;
    }
    if (input) sink_->deliver(*input);
  }

  void disconnect() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
    connection_ = nullptr;
  }

  xcb_connection_t* connection_ = nullptr;
  uint8_t xi_opcode_ = 0;
  InputSink* sink_ = nullptr;
  WakePipe wake_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<CaptureBackend> make_x11_capture() { return std::make_unique<X11Capture>(); }

}  // namespace norvane::capture
