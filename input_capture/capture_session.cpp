#include "input_capture/capture_session.h"

#include "input_capture/capture_trace.h"

namespace norvane::capture {

CaptureSession::CaptureSession(BackendFactory factory) : factory_(std::move(factory)) {}

CaptureSession::~CaptureSession() { remove(); }

bool CaptureSession::start_backend() {
  const auto env = [this](const char* name) { return factory_.environment ? factory_.environment(name) : ""; };
  const std::string chosen = env("NORVANE_INPUT_CAPTURE");
  const bool wayland = env("XDG_SESSION_TYPE") == "wayland" || !env("WAYLAND_DISPLAY").empty();
  const bool x11_session = !env("DISPLAY").empty() && !wayland;
  if (!chosen.empty() && chosen != "x11" && chosen != "devices" && chosen != "window") {
    trace("input capture: NORVANE_INPUT_CAPTURE=%s is not x11, devices or window; ignored", chosen.c_str());
  }

  const auto try_start = [this](const std::function<std::unique_ptr<CaptureBackend>()>& make, int scope) {
    if (!make) return false;
    std::unique_ptr<CaptureBackend> backend = make();
    if (backend == nullptr || !backend->start(*this)) return false;
    backend_ = std::move(backend);
    scope_ = scope;
    return true;
  };

  if (chosen != "devices" && chosen != "window" && x11_session && try_start(factory_.x11, NV_CAPTURE_X11)) {
    return true;
  }
  if (chosen != "window" && try_start(factory_.input_devices, NV_CAPTURE_INPUT_DEVICES)) return true;
  const int window_scope = chosen == "window" ? NV_CAPTURE_WINDOWS_CHOSEN
                           : wayland         ? NV_CAPTURE_WINDOWS_WAYLAND
                                             : NV_CAPTURE_WINDOWS_NO_ACCESS;
  if (try_start(factory_.windows, window_scope)) {
    if (window_scope != NV_CAPTURE_WINDOWS_CHOSEN) {
      trace("input capture: only input inside the program's own windows can be captured in this session");
    }
    return true;
  }
  trace("input capture: no way to capture input in this session");
  return false;
}

bool CaptureSession::install(const NvPostTarget& target) {
  std::lock_guard api(api_mutex_);
  {
    std::lock_guard post(post_mutex_);
    target_ = target;
    times_.clear();
  }
  if (backend_ != nullptr) return true;
  if (start_backend()) return true;
  std::lock_guard post(post_mutex_);
  target_.reset();
  return false;
}

void CaptureSession::remove() {
  std::lock_guard api(api_mutex_);
  if (backend_ != nullptr) {
    backend_->stop();
    backend_.reset();
  }
  scope_ = NV_CAPTURE_NONE;
  std::lock_guard post(post_mutex_);
  target_.reset();
  pressed_keys_.reset();
}

void CaptureSession::deliver(const CapturedInput& input) {
  std::lock_guard post(post_mutex_);
  if (input.kind == InputKind::key) {
    // Track every key, delivered or not, so a key held from before is no new press.
    const size_t key = input.physical_key % pressed_keys_.size();
    if (input.pressed && pressed_keys_.test(key)) return;  // a repeat
    pressed_keys_.set(key, input.pressed);
    if (!keys_enabled_) return;
  } else if (input.kind == InputKind::mouse_button) {
    if (!buttons_enabled_) return;
  } else if (!wheel_enabled_) {
    return;
  }
  if (!target_ || target_->post == nullptr) return;
  times_.push_back({input.wparam, input.lparam, input.time_ms});
  if (times_.size() > kKeptTimes) times_.pop_front();
  target_->post(target_->context, NV_HOOK_MESSAGE, input.wparam, input.lparam);
}

bool CaptureSession::take_event_time(uintptr_t wparam, intptr_t lparam, int64_t* time_ms) {
  std::lock_guard post(post_mutex_);
  while (!times_.empty()) {
    const PostedTime t = times_.front();
    times_.pop_front();
    if (t.wparam == wparam && t.lparam == lparam) {
      if (time_ms != nullptr) *time_ms = t.time_ms;
      return true;
    }
  }
  return false;
}

}  // namespace norvane::capture
