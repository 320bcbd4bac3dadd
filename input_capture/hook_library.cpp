#include "input_capture/hook_library.h"

#include <dlfcn.h>

#include "core/trace.h"

namespace norvane {
namespace {

template <typename Fn>
Fn resolve(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

void trace_hook_line(const char* line) { trace("%s\n", line); }

}  // namespace

std::string_view capture_hint_key(int scope) {
  switch (scope) {
    case NV_CAPTURE_WINDOWS_WAYLAND: return "capture_windows_only_wayland_text";
    case NV_CAPTURE_WINDOWS_NO_ACCESS: return "capture_windows_only_no_access_text";
    case NV_CAPTURE_WINDOWS_CHOSEN: return "capture_windows_only_chosen_text";
    default: return {};
  }
}

HookLibrary::~HookLibrary() { unload(); }

bool HookLibrary::load(const std::string& path) {
  unload();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* error = dlerror();
    trace("GetError:%s\n", error != nullptr ? error : "unknown");
    return false;
  }
  functions_.installmousehook = resolve<nv_installmousehook_fn>(handle_, "installmousehook");
  functions_.removemousehook = resolve<nv_removemousehook_fn>(handle_, "removemousehook");
  functions_.enablemousehook = resolve<nv_enablemousehook_fn>(handle_, "enablemousehook");
  functions_.installhook = resolve<nv_installhook_fn>(handle_, "installhook");
  functions_.removehook = resolve<nv_removehook_fn>(handle_, "removehook");
  functions_.enablehook = resolve<nv_enablehook_fn>(handle_, "enablehook");
  functions_.mousewheelenable = resolve<nv_mousewheelenable_fn>(handle_, "mousewheelenable");
  functions_.capturescope = resolve<nv_hookcapturescope_fn>(handle_, "hookcapturescope");
  functions_.eventtime = resolve<nv_hookeventtime_fn>(handle_, "hookeventtime");
  set_trace_ = resolve<nv_hooksettrace_fn>(handle_, "hooksettrace");
  if (set_trace_ != nullptr) set_trace_(trace_hook_line);
  return true;
}

void HookLibrary::remove_hooks() {
  if (functions_.removemousehook != nullptr) functions_.removemousehook();
  if (functions_.removehook != nullptr) functions_.removehook();
}

void HookLibrary::unload() {
  functions_ = HookFunctions{};
  if (set_trace_ != nullptr) set_trace_(nullptr);
  set_trace_ = nullptr;
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace norvane
