#pragma once
// The test's handle on the stand-in input-capture library (fake_capture_library.c) that
// the running program loads: the same loaded copy, reached through its control functions.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace norvane::testing {

class FakeCapture {
 public:
  FakeCapture() : handle_(dlopen(NORVANE_FAKE_CAPTURE_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {
    EXPECT_NE(handle_, nullptr) << dlerror();
    reset = resolve<void (*)()>("fake_capture_reset");
    calls_ = resolve<const char* (*)()>("fake_capture_calls");
    clear_calls = resolve<void (*)()>("fake_capture_clear_calls");
    set_scope = resolve<void (*)(int)>("fake_capture_set_scope");
    refuse = resolve<void (*)(int)>("fake_capture_refuse");
    installed = resolve<int (*)()>("fake_capture_installed");
    mouse_enabled = resolve<int (*)()>("fake_capture_mouse_enabled");
    input_ = resolve<int (*)(uintptr_t, intptr_t, int64_t)>("fake_capture_input");
    if (reset) reset();
  }
  ~FakeCapture() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  FakeCapture(const FakeCapture&) = delete;
  FakeCapture& operator=(const FakeCapture&) = delete;

  static const char* path() { return NORVANE_FAKE_CAPTURE_LIBRARY; }

  std::string calls() const { return calls_ ? calls_() : std::string(); }
  // Input that happened at `at_ms`; true when the capture posted it to the window.
  bool input(uintptr_t wparam, intptr_t lparam, int64_t at_ms) const { return input_ && input_(wparam, lparam, at_ms); }

  void (*reset)() = nullptr;
  void (*clear_calls)() = nullptr;
  void (*set_scope)(int) = nullptr;
  void (*refuse)(int) = nullptr;
  int (*installed)() = nullptr;
  int (*mouse_enabled)() = nullptr;

 private:
  template <typename Fn>
  Fn resolve(const char* name) {
    auto fn = handle_ ? reinterpret_cast<Fn>(dlsym(handle_, name)) : nullptr;
    EXPECT_NE(fn, nullptr) << name;
    return fn;
  }
  void* handle_;
  const char* (*calls_)() = nullptr;
  int (*input_)(uintptr_t, intptr_t, int64_t) = nullptr;
};

}  // namespace norvane::testing
