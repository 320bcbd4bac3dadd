#pragma once
// Hook.so loaded the way the program loads it, with its entry points resolved.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "input_capture/hook_abi.h"
#include "tests/input_capture/message_recorder.h"

namespace norvane::testing {

class HookModule {
 public:
  HookModule() : handle_(dlopen(NORVANE_HOOK_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {
    EXPECT_NE(handle_, nullptr) << dlerror();
    if (handle_ == nullptr) return;
    installhook = resolve<nv_installhook_fn>("installhook");
    removehook = resolve<nv_removehook_fn>("removehook");
    enablehook = resolve<nv_enablehook_fn>("enablehook");
    enablemousehook = resolve<nv_enablemousehook_fn>("enablemousehook");
    mousewheelenable = resolve<nv_mousewheelenable_fn>("mousewheelenable");
    removemousehook = resolve<nv_removemousehook_fn>("removemousehook");
    capturescope = resolve<nv_hookcapturescope_fn>("hookcapturescope");
    eventtime = resolve<nv_hookeventtime_fn>("hookeventtime");
    settrace = resolve<nv_hooksettrace_fn>("hooksettrace");
  }
  ~HookModule() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  HookModule(const HookModule&) = delete;
  HookModule& operator=(const HookModule&) = delete;

  bool loaded() const { return handle_ != nullptr; }

  nv_installhook_fn installhook = nullptr;
  nv_removehook_fn removehook = nullptr;
  nv_enablehook_fn enablehook = nullptr;
  nv_enablemousehook_fn enablemousehook = nullptr;
  nv_mousewheelenable_fn mousewheelenable = nullptr;
  nv_removemousehook_fn removemousehook = nullptr;
  nv_hookcapturescope_fn capturescope = nullptr;
  nv_hookeventtime_fn eventtime = nullptr;
  nv_hooksettrace_fn settrace = nullptr;

 private:
  template <typename Fn>
  Fn resolve(const char* name) {
    auto fn = reinterpret_cast<Fn>(dlsym(handle_, name));
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
  void* handle_;
};

}  // namespace norvane::testing
