// Loading the input hook library: every name it has is resolved, a missing library or
// missing names leave empty entries, and removing the hooks calls only what exists.

#include "input_capture/hook_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
