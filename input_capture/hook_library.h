#pragma once
// The input hook library (Hook.so beside the executable), loaded at run time. It
// captures key and mouse-button input for macro recording and shortcut capture and
// posts it as message 1034 to the window that installed the hook. The program works
// without it: every function of the table is then null and callers skip it.

#include <stdint.h>

#include <string>

#include "drivers/driver_api.h"

extern "C" {
// `window` is where captured input is posted (message 1034).
typedef int (*nv_installhook_fn)(NvPostTarget* window);
typedef int (*nv_installmousehook_fn)(NvPostTarget* window);
typedef int (*nv_removehook_fn)(void);
typedef int (*nv_removemousehook_fn)(void);
// 1 enables, 0 disables the delivery of that kind of input.
typedef int (*nv_enablehook_fn)(int enable);
typedef int (*nv_enablemousehook_fn)(int enable);
typedef int (*nv_mousewheelenable_fn)(int enable);
}

namespace norvane {

inline constexpr char kHookLibraryFile[] = "Hook.so";

// The seven entry points, in the order the library has always been resolved in.
// A member is null when the library or that name is missing.
struct HookFunctions {
  nv_installmousehook_fn installmousehook = nullptr;
  nv_removemousehook_fn removemousehook = nullptr;
  nv_enablemousehook_fn enablemousehook = nullptr;
  nv_installhook_fn installhook = nullptr;
  nv_removehook_fn removehook = nullptr;
  nv_enablehook_fn enablehook = nullptr;
  nv_mousewheelenable_fn mousewheelenable = nullptr;
};

class HookLibrary {
 public:
  HookLibrary() = default;
  ~HookLibrary();  // unload()
  HookLibrary(const HookLibrary&) = delete;
  HookLibrary& operator=(const HookLibrary&) = delete;

  // Loads the library and resolves the names it has. Returns false (with a trace line)
  // when it cannot be loaded; the table then stays empty.
  bool load(const std::string& path);
  bool loaded() const { return handle_ != nullptr; }

  // The table handed to the settings page. Its address stays the same for the life of
  // this object; its entries are cleared when the library is unloaded.
  const HookFunctions& functions() const { return functions_; }

  // Stops all capturing: removemousehook, then removehook, each only when present.
  void remove_hooks();

  // Clears the table and releases the library.
  void unload();

 private:
  void* handle_ = nullptr;
  HookFunctions functions_;
};

}  // namespace norvane
