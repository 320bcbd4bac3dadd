// Loading the input hook library: every name it has is resolved, a missing library or
// missing names leave empty entries, removing the hooks calls only what exists, and the
// library's trace lines reach the program's trace while it is loaded.

#include "input_capture/hook_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/trace.h"

using namespace norvane;

namespace {

// Reads the call log of a loaded fake library (a second dlopen shares the instance).
class CallLog {
 public:
  explicit CallLog(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~CallLog() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  std::string text() const {
    auto fn = reinterpret_cast<const char* (*)()>(dlsym(handle_, "fake_hook_calls"));
    return fn != nullptr ? fn() : "<no log>";
  }
  void clear() const {
    if (auto fn = reinterpret_cast<void (*)()>(dlsym(handle_, "fake_hook_clear"))) fn();
  }

 private:
  void* handle_;
};

bool table_is_empty(const HookFunctions& f) {
  return !f.installmousehook && !f.removemousehook && !f.enablemousehook && !f.installhook && !f.removehook &&
         !f.enablehook && !f.mousewheelenable;
}

TEST(HookLibrary, MissingLibraryLeavesAnEmptyTableAndRemovingIsHarmless) {
  HookLibrary hooks;
  EXPECT_FALSE(hooks.load("/nonexistent/Hook.so"));
  EXPECT_FALSE(hooks.loaded());
  EXPECT_TRUE(table_is_empty(hooks.functions()));
  hooks.remove_hooks();
  hooks.unload();
}

TEST(HookLibrary, ResolvesAllSevenNamesAndRemovesMouseHookFirst) {
  HookLibrary hooks;
  ASSERT_TRUE(hooks.load(FAKE_HOOK_FULL));
  const HookFunctions& f = hooks.functions();
  ASSERT_TRUE(f.installmousehook && f.removemousehook && f.enablemousehook && f.installhook && f.removehook &&
              f.enablehook && f.mousewheelenable);
  CallLog log(FAKE_HOOK_FULL);
  log.clear();
  hooks.remove_hooks();
  EXPECT_EQ(log.text(), "removemousehook;removehook;");
  hooks.unload();
  EXPECT_TRUE(table_is_empty(hooks.functions()));  // the page's pointer to the table sees empty entries
}

TEST(HookLibrary, LibraryWithoutTheMouseFunctionsSkipsThem) {
  HookLibrary hooks;
  ASSERT_TRUE(hooks.load(FAKE_HOOK_PARTIAL));
  EXPECT_EQ(hooks.functions().removemousehook, nullptr);
  EXPECT_EQ(hooks.functions().enablemousehook, nullptr);
  EXPECT_NE(hooks.functions().removehook, nullptr);
  CallLog log(FAKE_HOOK_PARTIAL);
  log.clear();
  hooks.remove_hooks();
  EXPECT_EQ(log.text(), "removehook;");
}

TEST(HookLibrary, TheLibrarysTraceLinesGoToTheProgramsTraceWhileLoaded) {
  std::vector<std::string> lines;
  TraceSink previous = set_trace_sink([&lines](const std::string& line) { lines.push_back(line); });
  void* own = dlopen(FAKE_HOOK_FULL, RTLD_NOW | RTLD_LOCAL);  // shares the loaded instance
  ASSERT_NE(own, nullptr);
  auto say = reinterpret_cast<void (*)(const char*)>(dlsym(own, "fake_hook_say"));
  ASSERT_NE(say, nullptr);
  {
    HookLibrary hooks;
    ASSERT_TRUE(hooks.load(FAKE_HOOK_FULL));
    say("input capture: hello");
    hooks.unload();
    say("after unload");
  }
  dlclose(own);
  set_trace_sink(std::move(previous));
  EXPECT_EQ(lines, (std::vector<std::string>{"input capture: hello\n"}));
}

TEST(HookLibrary, OnlyCapturesLimitedToTheProgramsWindowsHaveAHint) {
  EXPECT_TRUE(capture_hint_key(NV_CAPTURE_NONE).empty());
  EXPECT_TRUE(capture_hint_key(NV_CAPTURE_X11).empty());
  EXPECT_TRUE(capture_hint_key(NV_CAPTURE_INPUT_DEVICES).empty());
  EXPECT_FALSE(capture_hint_key(NV_CAPTURE_WINDOWS_WAYLAND).empty());
  EXPECT_FALSE(capture_hint_key(NV_CAPTURE_WINDOWS_NO_ACCESS).empty());
  EXPECT_NE(capture_hint_key(NV_CAPTURE_WINDOWS_CHOSEN), capture_hint_key(NV_CAPTURE_WINDOWS_WAYLAND));
}

}  // namespace
