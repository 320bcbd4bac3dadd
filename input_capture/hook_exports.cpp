// The entry points of Hook.so. Everything else in the library is hidden.

#include <cstdlib>
#include <type_traits>

#include "input_capture/capture_session.h"
#include "input_capture/capture_trace.h"
#include "input_capture/evdev_capture.h"
#include "input_capture/hook_abi.h"
#include "input_capture/window_capture.h"
#include "input_capture/x11_capture.h"

#define HOOK_EXPORT extern "C" __attribute__((visibility("default")))

namespace norvane::capture {

BackendFactory system_backends() {
  return BackendFactory{
      .x11 = [] { return make_x11_capture(); },
      .input_devices = [] { return make_evdev_capture(); },
      .windows = [] { return make_window_capture(); },
      .environment =
          [](const char* name) {
            const char* value = std::getenv(name);
            return std::string(value != nullptr ? value : "");
          },
  };
}

}  // namespace norvane::capture

namespace {
// Lives until the library is unloaded; its destructor stops any capture still running.
norvane::capture::CaptureSession& session() {
  static norvane::capture::CaptureSession instance(norvane::capture::system_backends());
  return instance;
}
}  // namespace

HOOK_EXPORT int installhook(NvPostTarget* window) { return window != nullptr && session().install(*window) ? 1 : 0; }
HOOK_EXPORT int installmousehook(NvPostTarget* window) { return installhook(window); }
HOOK_EXPORT int removehook(void) {
  session().remove();
  return 1;
}
HOOK_EXPORT int removemousehook(void) { return removehook(); }
HOOK_EXPORT int enablehook(int enable) {
  session().enable_keys(enable != 0);
  return 1;
}
HOOK_EXPORT int enablemousehook(int enable) {
  session().enable_buttons(enable != 0);
  return 1;
}
HOOK_EXPORT int mousewheelenable(int enable) {
  session().enable_wheel(enable != 0);
  return 1;
}
HOOK_EXPORT int hookcapturescope(void) { return session().scope(); }
HOOK_EXPORT int hookeventtime(uintptr_t wparam, intptr_t lparam, int64_t* milliseconds) {
  return session().take_event_time(wparam, lparam, milliseconds) ? 1 : 0;
}
HOOK_EXPORT void hooksettrace(nv_hooktrace_sink sink) { norvane::capture::set_trace_sink(sink); }

static_assert(std::is_same_v<decltype(&installhook), nv_installhook_fn>);
static_assert(std::is_same_v<decltype(&installmousehook), nv_installmousehook_fn>);
static_assert(std::is_same_v<decltype(&removehook), nv_removehook_fn>);
static_assert(std::is_same_v<decltype(&removemousehook), nv_removemousehook_fn>);
static_assert(std::is_same_v<decltype(&enablehook), nv_enablehook_fn>);
static_assert(std::is_same_v<decltype(&enablemousehook), nv_enablemousehook_fn>);
static_assert(std::is_same_v<decltype(&mousewheelenable), nv_mousewheelenable_fn>);
static_assert(std::is_same_v<decltype(&hookcapturescope), nv_hookcapturescope_fn>);
static_assert(std::is_same_v<decltype(&hookeventtime), nv_hookeventtime_fn>);
static_assert(std::is_same_v<decltype(&hooksettrace), nv_hooksettrace_fn>);
