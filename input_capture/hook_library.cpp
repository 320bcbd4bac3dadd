#include "input_capture/hook_library.h"

#include <dlfcn.h>

#include "core/trace.h"

namespace norvane {
namespace {

template <typename Fn>
Fn resolve(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

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
  return true;
}

void HookLibrary::remove_hooks() {
  if (functions_.removemousehook != nullptr) functions_.removemousehook();
  if (functions_.removehook != nullptr) functions_.removehook();
}

void HookLibrary::unload() {
  functions_ = HookFunctions{};
  if (handle_ != nullptr) {
    dlclose(handle_);
    handle_ = nullptr;
  }
}

}  // namespace norvane
